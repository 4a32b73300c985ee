#pragma once

#include "HistoryGraphs.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QToolBar;

namespace vorn {
class CHistoryChart;
}

namespace vorn::checker {

struct DiskSnapshot;

// The history of one disk: a value picked from its temperature and its
// attributes' current values and raw counts, over the last day, 30 days,
// year or everything kept. The graphs' controller reads the store on a
// worker; the dialog only draws the snapshots it is handed.
class CHistoryDlg : public QDialog {
    Q_OBJECT

public:
    struct Setup {
        QString storePath;
        diskpass::CHistoryGraphs::Worker worker;
        std::function<std::int64_t()> nowMs;
    };

    // series: the value shown first (SeriesCodes.h); the temperature when
    // the disk has no such value.
    CHistoryDlg(Setup setup, const DiskSnapshot& disk, int series, QWidget* parent = nullptr);
    ~CHistoryDlg() override;

    // The values on offer, in the order of the list.
    const QList<diskpass::GraphValue>& Values() const { return m_values; }
    void Choose(int series, diskpass::GraphSpan span);

    CHistoryChart* Chart() const { return m_chart; }
    bool IsLoading() const { return m_graphs->IsLoading(); }

private:
    void Reload();

    Setup m_setup;
    diskpass::GraphDisk m_disk;
    QList<diskpass::GraphValue> m_values;
    QComboBox* m_value = nullptr;
    QComboBox* m_span = nullptr;
    CHistoryChart* m_chart = nullptr;
    std::unique_ptr<diskpass::CHistoryGraphs> m_graphs;
};

// The toolbar's history command, with a picture of its own drawn to match
// the others' size.
QAction* AddHistoryAction(QToolBar* toolBar);

} // namespace vorn::checker
