#pragma once

#include "PanelText.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>

namespace vorn::checker {

// The attribute list: a table model over the rows checker/core makes, a
// delegate that paints each cell as the list always looked (window colour,
// one line, ellipsis, the depletion bar) and the view with fixed columns.

class CAttributeListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int ImportanceRole = Qt::UserRole + 2;
    static constexpr int BelowThresholdRole = Qt::UserRole + 3;

    using QAbstractTableModel::QAbstractTableModel;

    void SetRows(QList<AttributeRow> rows);
    const QList<AttributeRow>& Rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<AttributeRow> m_rows;
};

class CAttributeRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // What a cell reads on screen: its text, and for a row at or below its
    // threshold the failing mark before the attribute's name.
    static QString CellText(const QModelIndex& index);
};

class CAttributeListView : public QTableView {
    Q_OBJECT

public:
    explicit CAttributeListView(QWidget* parent = nullptr);

    CAttributeListModel* Model() const { return m_model; }

    // Why the list is empty, painted where the rows would be; the list's
    // accessible description carries it too.
    void SetEmptyText(const QString& text);
    const QString& EmptyText() const { return m_emptyText; }

signals:
    // A double click on a row (never on the empty space below the rows),
    // or Enter on the current one.
    void rowActivated(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The raw value takes whatever room the window gives beyond the
    // columns' own widths: it is the one that holds long NVMe counts.
    void FitRawColumn();
    // At least the column's designed width, and as wide as its heading.
    int DesignedWidth(int column) const;

    CAttributeListModel* m_model;
    QString m_emptyText;
};

} // namespace vorn::checker
