#pragma once

// Two audits of a window's texts, for any window of the suite:
//
//   ClippedCaptions(window)  every caption that does not fit its widget;
//   JapaneseTexts(window)    every text a user reads or hears that still has
//                            Japanese in it (for the English interface).
//
// Each returns one line per fault ("QDialog/QGroupBox#state 'text': ..."),
// empty when there is none, so a test reads
//   EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
// The window should be shown (offscreen is enough) so that its layouts have
// given every widget its size.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>
#include <QWidget>

#include <algorithm>
#include <functional>

namespace vorn::test {

// Where a widget stands: its classes and object names from the window down.
inline QString WidgetPath(const QWidget* widget) {
    QStringList parts;
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        QString part = QString::fromLatin1(w->metaObject()->className());
        if (!w->objectName().isEmpty())
            part += QLatin1Char('#') + w->objectName();
        parts.prepend(part);
        if (w->isWindow())
            break;
    }
    return parts.join(QLatin1Char('/'));
}

// What a caption shows: "&&" is an ampersand, a single "&" only underlines.
inline QString ShownCaption(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("&&"), QStringLiteral("\x1f"));
    shown.remove(QLatin1Char('&'));
    shown.replace(QLatin1Char('\x1f'), QLatin1Char('&'));
    return shown;
}

inline int WidestLine(const QFontMetrics& metrics, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

// Every label, button, group box title, header section and tab of window
// (and its children) whose text is wider, or taller, than the room its
// widget gives it. Widgets of the classes in skipClasses (by their class
// name) are left out: values that elide on purpose and carry the whole text
// in a tip. Hidden widgets are left out too; audit again once they show.
inline QStringList ClippedCaptions(const QWidget* window, const QStringList& skipClasses = {}) {
    QStringList faults;
    const auto fault = [&faults](const QWidget* w, const QString& text, int need, int room) {
        faults << QStringLiteral("%1 '%2': needs %3 px, has %4")
                      .arg(WidgetPath(w), text)
                      .arg(need)
                      .arg(room);
    };
    QList<const QWidget*> widgets{window};
    for (const QWidget* child : window->findChildren<QWidget*>())
        widgets << child;
    for (const QWidget* w : widgets) {
        if (!w->isVisibleTo(window) && w != window)
            continue;
        if (skipClasses.contains(QString::fromLatin1(w->metaObject()->className())))
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (label->text().isEmpty() || Qt::mightBeRichText(label->text()))
                continue;
            const QString text = label->buddy() ? ShownCaption(label->text()) : label->text();
            const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                              -label->margin(), -label->margin());
            const QFontMetrics metrics = label->fontMetrics();
            if (label->wordWrap()) {
                const int need = label->heightForWidth(label->width());
                if (need > label->height())
                    fault(w, text, need, label->height());
                continue;
            }
            const int need = WidestLine(metrics, text);
            if (need > room.width())
                fault(w, text, need, room.width());
            const int lines = int(text.count(QLatin1Char('\n'))) + 1;
            const int height = (lines - 1) * metrics.lineSpacing() + metrics.height();
            if (height > room.height())
                fault(w, text, height, room.height());
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            if (button->text().isEmpty())
                continue;
            const QString text = ShownCaption(button->text());
            const int need = WidestLine(button->fontMetrics(), text) +
                             (button->icon().isNull() ? 0 : button->iconSize().width() + 4);
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            option.icon = button->icon();
            option.iconSize = button->iconSize();
            QStyle::SubElement contents = QStyle::SE_PushButtonContents;
            if (qobject_cast<const QRadioButton*>(button))
                contents = QStyle::SE_RadioButtonContents;
            else if (qobject_cast<const QCheckBox*>(button))
                contents = QStyle::SE_CheckBoxContents;
            else if (const auto* tool = qobject_cast<const QToolButton*>(button)) {
                // A picture button names itself by its text to assistive
                // technology only.
                if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly && !tool->icon().isNull())
                    continue;
                if (tool->sizeHint().width() > tool->width())
                    fault(w, text, tool->sizeHint().width(), tool->width());
                continue;
            }
            const int room = button->style()->subElementRect(contents, &option, button).width();
            if (need > room)
                fault(w, text, need, room);
        } else if (const auto* group = qobject_cast<const QGroupBox*>(w)) {
            // The title sits inside the frame with a margin on either side.
            const int need = group->fontMetrics().horizontalAdvance(ShownCaption(group->title()));
            const int room = group->width() - 2 * group->fontMetrics().averageCharWidth();
            if (!group->title().isEmpty() && need > room)
                fault(w, group->title(), need, room);
        } else if (const auto* header = qobject_cast<const QHeaderView*>(w)) {
            if (!header->model())
                continue;
            const int margin =
                header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            for (int section = 0; section < header->count(); ++section) {
                if (header->isSectionHidden(section) || header->sectionSize(section) == 0)
                    continue;
                const QString text =
                    header->model()->headerData(section, header->orientation()).toString();
                const int need = WidestLine(header->fontMetrics(), text) + 2 * margin;
                if (!text.isEmpty() && need > header->sectionSize(section))
                    fault(w, text, need, header->sectionSize(section));
            }
        } else if (const auto* tabs = qobject_cast<const QTabBar*>(w)) {
            for (int k = 0; k < tabs->count(); ++k) {
                const int need =
                    tabs->fontMetrics().horizontalAdvance(ShownCaption(tabs->tabText(k)));
                if (need > tabs->tabRect(k).width())
                    fault(w, tabs->tabText(k), need, tabs->tabRect(k).width());
            }
        }
    }
    return faults;
}

// Hiragana, katakana, CJK ideographs and the full-width forms: a text with
// one of them was not translated.
inline bool HasJapanese(const QString& text) {
    static const QRegularExpression japanese(
        QStringLiteral("[\\x{3000}-\\x{30ff}\\x{3400}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(japanese);
}

struct TextAuditOptions {
    // Strings the drives supply (model names, volume labels of the simulated
    // disks): taken out of a text before it is looked at.
    QStringList driveStrings;
};

// Every text of window and its children that a user reads or hears and that
// has Japanese in it: window titles, the texts of labels, buttons, group
// boxes, fields, tabs and combo boxes, tips, accessible names and
// descriptions (also those of painted controls, through their accessible
// interface), actions and the menus under them, every cell and heading of
// item views. Hidden widgets count: they show later. menus are audited with
// the window (a tray menu has no parent).
inline QStringList JapaneseTexts(const QWidget* window, const TextAuditOptions& options = {},
                                 const QList<const QMenu*>& menus = {}) {
    QStringList faults;
    const auto look = [&](const QString& where, const char* what, const QString& text) {
        QString rest = text;
        for (const QString& drive : options.driveStrings)
            rest.remove(drive);
        if (HasJapanese(rest))
            faults << QStringLiteral("%1 %2: '%3'").arg(where, QLatin1String(what), text);
    };
    QList<const QAction*> seenActions;
    std::function<void(const QString&, const QAction*)> lookAction = [&](const QString& where,
                                                                         const QAction* action) {
        if (seenActions.contains(action))
            return;
        seenActions << action;
        const QString here = where + QStringLiteral(" action '%1'").arg(action->text());
        look(here, "text", action->text());
        look(here, "toolTip", action->toolTip());
        look(here, "statusTip", action->statusTip());
        look(here, "whatsThis", action->whatsThis());
        if (const QMenu* menu = action->menu()) {
            look(here, "menu title", menu->title());
            for (const QAction* sub : menu->actions())
                lookAction(here, sub);
        }
    };
    QList<const QWidget*> widgets{window};
    for (const QWidget* child : window->findChildren<QWidget*>())
        widgets << child;
    for (const QMenu* menu : menus)
        widgets << menu;
    for (const QWidget* w : widgets) {
        const QString where = WidgetPath(w);
        if (w->isWindow())
            look(where, "windowTitle", w->windowTitle());
        look(where, "toolTip", w->toolTip());
        look(where, "statusTip", w->statusTip());
        look(where, "whatsThis", w->whatsThis());
        look(where, "accessibleName", w->accessibleName());
        look(where, "accessibleDescription", w->accessibleDescription());
        if (QAccessibleInterface* accessible =
                QAccessible::queryAccessibleInterface(const_cast<QWidget*>(w))) {
            look(where, "accessible name", accessible->text(QAccessible::Name));
            look(where, "accessible description", accessible->text(QAccessible::Description));
        }
        if (const auto* label = qobject_cast<const QLabel*>(w))
            look(where, "text", label->text());
        if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            look(where, "text", button->text());
        if (const auto* group = qobject_cast<const QGroupBox*>(w))
            look(where, "title", group->title());
        if (const auto* line = qobject_cast<const QLineEdit*>(w)) {
            look(where, "text", line->text());
            look(where, "placeholder", line->placeholderText());
        }
        if (const auto* plain = qobject_cast<const QPlainTextEdit*>(w))
            look(where, "text", plain->toPlainText());
        if (const auto* rich = qobject_cast<const QTextEdit*>(w))
            look(where, "text", rich->toPlainText());
        if (const auto* tabs = qobject_cast<const QTabBar*>(w)) {
            for (int k = 0; k < tabs->count(); ++k) {
                look(where, "tab", tabs->tabText(k));
                look(where, "tab tip", tabs->tabToolTip(k));
            }
        }
        if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
            for (int k = 0; k < combo->count(); ++k)
                look(where, "item", combo->itemText(k));
        }
        if (const auto* view = qobject_cast<const QAbstractItemView*>(w);
            view && view->model() && !qobject_cast<const QHeaderView*>(w)) {
            const QAbstractItemModel* model = view->model();
            const int roles[] = {Qt::DisplayRole, Qt::ToolTipRole, Qt::AccessibleTextRole,
                                 Qt::AccessibleDescriptionRole};
            for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
                for (int column = 0; column < model->columnCount(view->rootIndex()); ++column) {
                    const QModelIndex index = model->index(row, column, view->rootIndex());
                    for (int role : roles)
                        look(where + QStringLiteral(" cell %1,%2").arg(row).arg(column), "data",
                             model->data(index, role).toString());
                }
            }
            for (int column = 0; column < model->columnCount(); ++column)
                look(where, "heading", model->headerData(column, Qt::Horizontal).toString());
        }
        for (const QAction* action : w->actions())
            lookAction(where, action);
    }
    return faults;
}

} // namespace vorn::test
