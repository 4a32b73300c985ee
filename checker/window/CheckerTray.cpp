#include "CheckerTray.h"
#include "Translation.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace vorn::checker {

CCheckerTray::CCheckerTray(const QIcon& icon, const QString& tip, bool available, QObject* parent)
    : QObject(parent), m_menu(std::make_unique<QMenu>()) {
    m_open = m_menu->addAction(Cm_Tr("CheckerTray", "メイン画面を開く"));
    m_selfTest = m_menu->addAction(Cm_Tr("CheckerTray", "セルフテスト"));
    m_menu->addSeparator();
    m_support = m_menu->addAction(Cm_Tr("CheckerTray", "サポート情報"));
    m_about = m_menu->addAction(Cm_Tr("CheckerTray", "バージョン情報"));
    m_exit = m_menu->addAction(Cm_Tr("CheckerTray", "終了"));
    connect(m_open, &QAction::triggered, this, &CCheckerTray::openMainRequested);
    connect(m_selfTest, &QAction::triggered, this, &CCheckerTray::selfTestRequested);
    connect(m_support, &QAction::triggered, this, &CCheckerTray::supportRequested);
    connect(m_about, &QAction::triggered, this, &CCheckerTray::aboutRequested);
    connect(m_exit, &QAction::triggered, this, &CCheckerTray::exitRequested);

    if (!available)
        return;
    m_icon = new QSystemTrayIcon(icon, this);
    m_icon->setToolTip(tip);
    m_icon->setContextMenu(m_menu.get());
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    emit openMainRequested();
            });
    m_icon->show();
}

CCheckerTray::~CCheckerTray() = default;

bool CCheckerTray::IsVisible() const {
    return m_icon && m_icon->isVisible();
}

void CCheckerTray::SetTip(const QString& tip) {
    if (m_icon && m_icon->toolTip() != tip)
        m_icon->setToolTip(tip);
}

void CCheckerTray::Remove() {
    if (m_icon)
        m_icon->hide();
}

} // namespace vorn::checker
