#include "HistoryDialog.h"

#include "CheckerSnapshot.h"
#include "HistoryChart.h"
#include "Translation.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolBar>
#include <QVBoxLayout>

namespace vorn::checker {

using namespace vorn::diskpass;

namespace {

constexpr GraphSpan kSpans[] = {GraphSpan::Day, GraphSpan::Month, GraphSpan::Year, GraphSpan::All};

QIcon HistoryIcon(const QSize& size) {
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width();
    const qreal h = size.height();
    painter.setPen(QPen(QColor(0x55, 0x55, 0x55), w / 16));
    painter.drawLine(QPointF(w * 0.12, h * 0.1), QPointF(w * 0.12, h * 0.88));
    painter.drawLine(QPointF(w * 0.12, h * 0.88), QPointF(w * 0.92, h * 0.88));
    painter.setPen(
        QPen(QColor(0x1f, 0x5f, 0xbf), w / 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF line[] = {{w * 0.2, h * 0.7},
                            {w * 0.38, h * 0.45},
                            {w * 0.55, h * 0.6},
                            {w * 0.72, h * 0.25},
                            {w * 0.88, h * 0.35}};
    painter.drawPolyline(line, int(std::size(line)));
    return QIcon(picture);
}

} // namespace

CHistoryDlg::CHistoryDlg(Setup setup, const DiskSnapshot& disk, int series, QWidget* parent)
    : QDialog(parent), m_setup(std::move(setup)) {
    const QString model = disk.panel[PanelField::Model];
    m_disk = {disk.identity, model};
    setWindowTitle(Cm_Tr("HistoryDialog", "%1 の履歴").arg(model));
    setObjectName(QStringLiteral("history"));

    m_values.append(TemperatureValue());
    for (const ListedAttribute& attribute : disk.attributes) {
        if (!attribute.detail)
            continue;
        m_values.append(AttributeCurrentValue(attribute.detail->id, attribute.detail->name));
        m_values.append(AttributeRawValue(attribute.detail->id, attribute.detail->name));
    }

    m_value = new QComboBox(this);
    m_value->setAccessibleName(Cm_Tr("HistoryDialog", "表示する値"));
    for (const GraphValue& value : m_values)
        m_value->addItem(value.name, value.series);
    m_span = new QComboBox(this);
    m_span->setAccessibleName(Cm_Tr("HistoryDialog", "期間"));
    for (GraphSpan span : kSpans)
        m_span->addItem(GraphSpanName(span), int(span));
    auto* valueLabel = new QLabel(Cm_Tr("HistoryDialog", "値(&V)："), this);
    valueLabel->setBuddy(m_value);
    auto* spanLabel = new QLabel(Cm_Tr("HistoryDialog", "期間(&P)："), this);
    spanLabel->setBuddy(m_span);

    m_chart = new vorn::CHistoryChart(this);
    m_chart->setMinimumSize(480, 280);

    auto* choices = new QHBoxLayout;
    choices->addWidget(valueLabel);
    choices->addWidget(m_value, 1);
    choices->addWidget(spanLabel);
    choices->addWidget(m_span);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(m_chart, 1);
    resize(640, 400);

    m_graphs = std::make_unique<CHistoryGraphs>(
        m_setup.worker, [this](const ChartSnapshot& snapshot) { m_chart->Show(snapshot); });
    const int first = m_value->findData(series);
    m_value->setCurrentIndex(first < 0 ? 0 : first);
    connect(m_value, &QComboBox::currentIndexChanged, this, &CHistoryDlg::Reload);
    connect(m_span, &QComboBox::currentIndexChanged, this, &CHistoryDlg::Reload);
    Reload();
}

CHistoryDlg::~CHistoryDlg() = default;

void CHistoryDlg::Choose(int series, GraphSpan span) {
    const QSignalBlocker blockValue(m_value);
    const QSignalBlocker blockSpan(m_span);
    m_value->setCurrentIndex(std::max(0, m_value->findData(series)));
    m_span->setCurrentIndex(std::max(0, m_span->findData(int(span))));
    Reload();
}

void CHistoryDlg::Reload() {
    GraphQuery query;
    query.storePath = m_setup.storePath;
    query.disks = {m_disk};
    query.value = m_values.value(std::max(0, m_value->currentIndex()));
    query.span = GraphSpan(m_span->currentData().toInt());
    query.nowMs = m_setup.nowMs();
    query.title = QStringLiteral("%1 — %2 (%3)")
                      .arg(m_disk.name, query.value.name, GraphSpanName(query.span));
    m_graphs->Request(query);
}

QAction* AddHistoryAction(QToolBar* toolBar) {
    QAction* action =
        toolBar->addAction(HistoryIcon(toolBar->iconSize()), Cm_Tr("HistoryDialog", "履歴"));
    action->setObjectName(QStringLiteral("history"));
    action->setToolTip(Cm_Tr("HistoryDialog", "温度と属性の履歴の表示"));
    return action;
}

} // namespace vorn::checker
