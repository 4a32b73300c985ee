#include "IndicatorAccessible.h"

#include "CDiskButton.h"
#include "CPowerOnStatic.h"
#include "CTempStatic.h"

#include <QAccessibleWidget>

namespace vorn::checker {

namespace {

class DiskButtonAccessible : public QAccessibleWidget {
public:
    explicit DiskButtonAccessible(CDiskButton* button)
        : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return static_cast<CDiskButton*>(widget())->AccessibleName();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = static_cast<CDiskButton*>(widget())->IsSelected();
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == pressAction())
            static_cast<CDiskButton*>(widget())->Press();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* IndicatorFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    // Qt hands the namespaced class name; the meta-objects keep it in one place.
    if (className == QLatin1String(CDiskButton::staticMetaObject.className()))
        return new DiskButtonAccessible(static_cast<CDiskButton*>(widget));
    if (className == QLatin1String(CTempStatic::staticMetaObject.className()) ||
        className == QLatin1String(CPowerOnStatic::staticMetaObject.className()))
        return new QAccessibleWidget(widget, QAccessible::StaticText);
    return nullptr;
}

} // namespace

void InstallIndicatorAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(IndicatorFactory);
        return true;
    }();
    (void)installed;
}

} // namespace vorn::checker
