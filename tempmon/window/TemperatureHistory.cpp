#include "TemperatureHistory.h"

#include "HistoryChart.h"
#include "Translation.h"

#include <QVBoxLayout>

CTemperatureHistory::CTemperatureHistory(vorn::diskpass::CHistoryGraphs::Worker worker,
                                         QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setWindowTitle(Cm_Tr("HeatgaugeHistory", "温度の履歴 - Heatgauge Vuda"));
    setObjectName(QStringLiteral("history"));
    m_chart = new vorn::CHistoryChart(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_chart);
    resize(640, 360);
    m_graphs = std::make_unique<vorn::diskpass::CHistoryGraphs>(
        std::move(worker),
        [this](const vorn::ChartSnapshot& snapshot) { m_chart->Show(snapshot); });
}

CTemperatureHistory::~CTemperatureHistory() = default;

void CTemperatureHistory::Open(const vorn::diskpass::GraphQuery& query) {
    m_graphs->Request(query);
    show();
    raise();
    activateWindow();
}
