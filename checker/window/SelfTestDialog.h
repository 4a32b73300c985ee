#pragma once

#include "SelfTestMonitor.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace vorn::checker {

// The self-test of one disk: the tests the drive offers with their expected
// time, start and abort, the drive's own progress, its self-test log and
// the newest entries of its error log. It shows the snapshots of the disk's
// monitor, which the main window keeps; closing the dialog stops nothing.
class CSelfTestDlg : public QDialog {
    Q_OBJECT

public:
    CSelfTestDlg(const QString& diskName, QWidget* parent = nullptr);

    void Show(const diskpass::SelfTestSnapshot& snapshot);

    // The parts, for the tests.
    QRadioButton* KindButton(hdd::SelfTestKind kind) const;
    QPushButton* StartButton() const { return m_start; }
    QPushButton* AbortButton() const { return m_abort; }
    QProgressBar* Progress() const { return m_progress; }
    QLabel* StateLine() const { return m_state; }
    QLabel* MessageLine() const { return m_message; }
    QTableWidget* LogTable() const { return m_log; }
    QLabel* ErrorCount() const { return m_errorCount; }
    QTableWidget* ErrorTable() const { return m_errors; }

    // "ショート", "拡張", "搬送".
    static QString KindCaption(hdd::SelfTestKind kind);
    // The state line: "実行中 40%", "正常終了", ...
    static QString PhaseCaption(const diskpass::SelfTestSnapshot& snapshot);

signals:
    void startRequested(vorn::hdd::SelfTestKind kind);
    void abortRequested();

private:
    void StartChosen();

    QRadioButton* m_kinds[3] = {};
    QPushButton* m_start = nullptr;
    QPushButton* m_abort = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_state = nullptr;
    QLabel* m_message = nullptr;
    QTableWidget* m_log = nullptr;
    QLabel* m_errorCount = nullptr;
    QTableWidget* m_errors = nullptr;
};

} // namespace vorn::checker
