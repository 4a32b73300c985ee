#pragma once

#include "HistoryGraphs.h"

#include <QWidget>

#include <memory>

namespace vorn {
class CHistoryChart;
}

// "温度の履歴": every disk's temperature over the last day, one line each.
// The graphs' controller reads the store on a worker; this window only
// draws the snapshot it is handed.
class CTemperatureHistory : public QWidget {
public:
    explicit CTemperatureHistory(vorn::diskpass::CHistoryGraphs::Worker worker,
                                 QWidget* parent = nullptr);
    ~CTemperatureHistory() override;

    // Loads the query and shows the window; a shown window is raised and
    // loads anew.
    void Open(const vorn::diskpass::GraphQuery& query);

    vorn::CHistoryChart* Chart() const { return m_chart; }

private:
    vorn::CHistoryChart* m_chart = nullptr;
    std::unique_ptr<vorn::diskpass::CHistoryGraphs> m_graphs;
};
