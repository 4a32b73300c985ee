#include "PopupMenu.h"

#include "HeatgaugeMenu.h"
#include "Translation.h"

#include <QActionGroup>

using namespace heatgauge;

namespace {

QAction* AddItem(QMenu* menu, const QString& text, int id,
                 const std::function<void(int)>& command) {
    QAction* action = menu->addAction(text);
    action->setData(id);
    QObject::connect(action, &QAction::triggered, menu, [command, id] { command(id); });
    return action;
}

QAction* AddCheck(QMenu* menu, const QString& text, int id, int value,
                  const std::function<void(int)>& command) {
    QAction* action = AddItem(menu, text, id, command);
    action->setCheckable(true);
    action->setChecked(value != 0);
    return action;
}

} // namespace

void FillPopupMenu(QMenu* menu, const HeatgaugeSettings& settings,
                   const std::function<void(int)>& command) {
    // The menu is filled again each time it opens; the old submenu goes.
    for (QMenu* old : menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        delete old;
    menu->clear();
    QMenu* levels = menu->addMenu(Cm_Tr("HeatgaugeMenu", "半透明率"));
    auto* group = new QActionGroup(levels);
    const int marked = AlphaItem(settings.wndAlpha);
    for (int j = 0; j < kAlphaItems; ++j) {
        QAction* level =
            AddItem(levels, QStringLiteral("%1 %").arg(20 * j), kCmdAlpha0 + j, command);
        level->setCheckable(true);
        level->setChecked(j == marked);
        group->addAction(level);
    }
    AddCheck(menu, Cm_Tr("HeatgaugeMenu", "ウィンドウ表示"), kCmdShow, settings.wndShow, command);
    AddCheck(menu, Cm_Tr("HeatgaugeMenu", "最前面に表示"), kCmdTopmost, settings.wndTop, command);
    AddCheck(menu, Cm_Tr("HeatgaugeMenu", "マウス入力"), kCmdMouse, settings.wndMouse, command);
    AddCheck(menu, Cm_Tr("HeatgaugeMenu", "トレイアイコンを1つにまとめる"), kCmdOneTrayIcon,
             settings.oneTrayIcon, command);
    menu->addSeparator();
    AddItem(menu, Cm_Tr("HeatgaugeMenu", "温度の履歴(&H) ..."), kCmdHistory, command);
    menu->addSeparator();
    AddItem(menu, Cm_Tr("HeatgaugeMenu", "バージョン情報(&A) ..."), kCmdAbout, command);
    menu->addSeparator();
    AddItem(menu, Cm_Tr("HeatgaugeMenu", "Heatgauge Vuda の終了(&X)"), kCmdExit, command);
}
