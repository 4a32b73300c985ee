#include "StripAccessible.h"

#include "ReadingWords.h"
#include "StripWindow.h"
#include "Translation.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <map>

namespace {

// One cell. It holds the strip, not a reading: the screen reader asks at
// any time and must hear the temperature of now.
class CellAccessible : public QAccessibleInterface {
public:
    CellAccessible(CStripWindow* strip, int index) : m_strip(strip), m_index(index) {}

    bool isValid() const override { return m_strip && m_index < m_strip->CellCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_strip ? m_strip->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return m_strip ? QAccessible::queryAccessibleInterface(m_strip.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return QString();
        const DiskReading& reading = m_strip->ReadingAt(m_index);
        switch (t) {
        case QAccessible::Name:
            return ReadingName(reading);
        case QAccessible::Description:
            return ReadingDescription(reading);
        case QAccessible::Value:
            return ReadingDescription(reading);
        default:
            return QString();
        }
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid())
            return QRect();
        const QRect cell = m_strip->CellRect(m_index);
        return QRect(m_strip->mapToGlobal(cell.topLeft()), cell.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        s.focusable = true;
        s.selectable = true;
        if (isValid() && m_strip->hasFocus() && m_strip->FocusCell() == m_index) {
            s.focused = true;
            s.selected = true;
        }
        if (!m_strip || !m_strip->isVisible())
            s.invisible = true;
        return s;
    }

private:
    QPointer<CStripWindow> m_strip;
    int m_index;
};

class StripAccessible : public QAccessibleWidget {
public:
    explicit StripAccessible(CStripWindow* strip) : QAccessibleWidget(strip, QAccessible::List) {}
    ~StripAccessible() override {
        for (const auto& [index, id] : m_cells)
            QAccessible::deleteAccessibleInterface(id);
    }

    CStripWindow* Strip() const { return static_cast<CStripWindow*>(widget()); }

    int childCount() const override { return Strip()->CellCount(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        auto found = m_cells.find(index);
        if (found == m_cells.end()) {
            auto* cell = new CellAccessible(Strip(), index);
            found = m_cells.emplace(index, QAccessible::registerAccessibleInterface(cell)).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [index, id] : m_cells) {
            if (QAccessible::accessibleInterface(id) == child)
                return index;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint at = Strip()->mapFromGlobal(QPoint(x, y));
        for (int i = 0; i < childCount(); ++i) {
            if (Strip()->CellRect(i).contains(at))
                return child(i);
        }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        return Strip()->hasFocus() ? child(Strip()->FocusCell()) : nullptr;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return Cm_Tr("HeatgaugeStrip", "ディスクの温度");
        return QAccessibleWidget::text(t);
    }

private:
    mutable std::map<int, QAccessible::Id> m_cells;
};

QAccessibleInterface* StripFactory(const QString& className, QObject* object) {
    if (object && className == QLatin1String(CStripWindow::staticMetaObject.className()))
        return new StripAccessible(static_cast<CStripWindow*>(object));
    return nullptr;
}

} // namespace

void InstallStripAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(StripFactory);
        return true;
    }();
    (void)installed;
}
