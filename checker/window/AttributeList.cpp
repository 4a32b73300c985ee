#include "AttributeList.h"

#include "AttributeBar.h"
#include "DiskStateLook.h"
#include "Translation.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace vorn::checker {

namespace {

constexpr int kDepletionColumn = kColumnDepleted;
constexpr int kTextMargin = 4;

QColor Rgb(unsigned rgb) {
    return QColor(QRgb(rgb));
}

} // namespace

void CAttributeListModel::SetRows(QList<AttributeRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int CAttributeListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int CAttributeListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kAttributeColumnCount;
}

QVariant CAttributeListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const AttributeRow& row = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return row.cells[index.column()];
    case Qt::TextAlignmentRole:
        return int(
            (AttributeColumns()[index.column()].rightAligned ? Qt::AlignRight : Qt::AlignLeft) |
            Qt::AlignVCenter);
    case ImportanceRole:
        return int(row.importance);
    case BelowThresholdRole:
        return row.belowThreshold;
    case Qt::AccessibleDescriptionRole:
        return row.belowThreshold ? Cm_Tr("AttributeList", "しきい値以下") : QString();
    default:
        return {};
    }
}

QVariant CAttributeListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kAttributeColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return AttributeHeading(section);
    if (role == Qt::TextAlignmentRole)
        return int((AttributeColumns()[section].rightAligned ? Qt::AlignRight : Qt::AlignLeft) |
                   Qt::AlignVCenter);
    return {};
}

void CAttributeRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    painter->save();
    const bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());

    const QRect cell = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (index.column() == kDepletionColumn) {
        const QRect area = cell.adjusted(0, kBarInsetTop, -kBarInsetRight, -kBarInsetBottom);
        if (area.width() > 0 && area.height() > 0) {
            painter->fillRect(
                area, Rgb(BarAreaColor(index.data(CAttributeListModel::ImportanceRole).toInt())));
            const int length = DepletionBarLength(area.width(), text);
            if (length > 0)
                painter->fillRect(QRect(area.left(), area.top(), length, area.height()),
                                  Rgb(kBarFill));
            painter->setPen(Rgb(kBarFrame));
            painter->drawRect(area.adjusted(0, 0, -1, -1));
        }
    }
    // A row at or below its threshold is why the disk fails: its text takes
    // the failing colour and weight, and its ID the failing mark.
    const bool below = index.data(CAttributeListModel::BelowThresholdRole).toBool();
    const DiskStateLook look = LookOf(DiskState::Failing, option.palette);
    QColor pen =
        selected ? option.palette.highlightedText().color() : option.palette.text().color();
    QFont font = option.font;
    const QString shown = CellText(index);
    if (below) {
        if (!selected)
            pen = look.colour;
        font.setBold(true);
    }
    painter->setPen(pen);
    painter->setFont(font);
    const int alignment = index.data(Qt::TextAlignmentRole).toInt();
    painter->drawText(cell, alignment | Qt::TextSingleLine,
                      QFontMetrics(font).elidedText(shown, Qt::ElideRight, cell.width()));
    // The keyboard's row is framed, selected or not, so Tab shows where it
    // landed.
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(selected ? option.palette.highlightedText().color()
                                      : option.palette.text().color(),
                             1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

QString CAttributeRowDelegate::CellText(const QModelIndex& index) {
    const QString text = index.data(Qt::DisplayRole).toString();
    // The name's column has the room for the mark; the ID's two digits
    // would be cut to "…" with it.
    if (index.column() == kColumnName &&
        index.data(CAttributeListModel::BelowThresholdRole).toBool())
        return DiskStateMark(DiskState::Failing) + QLatin1Char(' ') + text;
    return text;
}

CAttributeListView::CAttributeListView(QWidget* parent)
    : QTableView(parent), m_model(new CAttributeListModel(this)) {
    setModel(m_model);
    setItemDelegate(new CAttributeRowDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setSortingEnabled(false);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    for (int column = 0; column < kAttributeColumnCount; ++column) {
        horizontalHeader()->setSectionResizeMode(column, QHeaderView::Interactive);
        setColumnWidth(column, DesignedWidth(column));
    }
    // Tab leaves the list for the next control instead of walking cells.
    setTabKeyNavigation(false);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowActivated(index.row()); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        setAccessibleDescription(m_model->rowCount() == 0 ? m_emptyText : QString());
        viewport()->update();
    });
}

int CAttributeListView::DesignedWidth(int column) const {
    // The column's width of old, or what its heading needs in the interface's
    // language: an English heading is wider than the Japanese was.
    const QHeaderView* header = horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const int heading = header->fontMetrics().horizontalAdvance(AttributeHeading(column));
    return std::max(AttributeColumns()[column].width, heading + 2 * margin + 2);
}

void CAttributeListView::SetEmptyText(const QString& text) {
    m_emptyText = text;
    setAccessibleDescription(m_model->rowCount() == 0 ? text : QString());
    viewport()->update();
}

void CAttributeListView::keyPressEvent(QKeyEvent* event) {
    // "*" is the window's key for a new measurement, not a search.
    if (event->key() == Qt::Key_Asterisk) {
        event->ignore();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid()) {
        event->accept();
        emit rowActivated(currentIndex().row());
        return;
    }
    QTableView::keyPressEvent(event);
}

void CAttributeListView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    // Arriving by Tab, the first row is the one Enter opens.
    if (!currentIndex().isValid() && m_model->rowCount() > 0)
        setCurrentIndex(m_model->index(0, 0));
}

void CAttributeListView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    FitRawColumn();
}

void CAttributeListView::FitRawColumn() {
    int others = 0;
    for (int column = 0; column < kAttributeColumnCount; ++column) {
        if (column != kColumnRaw)
            others += columnWidth(column);
    }
    setColumnWidth(kColumnRaw, std::max(DesignedWidth(kColumnRaw), viewport()->width() - others));
}

void CAttributeListView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (m_model->rowCount() > 0 || m_emptyText.isEmpty())
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(viewport()->rect().adjusted(8, 8, -8, -8),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_emptyText);
}

} // namespace vorn::checker
