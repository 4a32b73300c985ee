#include "TrayIcons.h"

#include "StripPainter.h"

#include <QMenu>
#include <QPixmap>

namespace {

constexpr int kNotPainted = -2; // no temperature, not even "unknown"

} // namespace

CTrayIcons::CTrayIcons(QMenu* menu, std::function<void()> clicked)
    : m_menu(menu), m_clicked(std::move(clicked)) {}

CTrayIcons::~CTrayIcons() {
    Remove();
}

QSystemTrayIcon* CTrayIcons::Add(const QIcon& icon, const QString& tip) {
    auto tray = std::make_unique<QSystemTrayIcon>(icon);
    tray->setToolTip(tip);
    tray->setContextMenu(m_menu);
    connect(tray.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger && m_clicked)
                    m_clicked();
            });
    tray->show();
    m_icons.push_back(std::move(tray));
    m_painted.push_back({kNotPainted, vorn::DiskState::Unknown});
    return m_icons.back().get();
}

void CTrayIcons::Show(const std::vector<DiskReading>& readings, const ColourScale& scale) {
    if (!m_created) {
        m_created = true;
        if (readings.empty())
            Add(ProgramIcon(), QStringLiteral("HeatgaugeMini"));
        for (const DiskReading& reading : readings) {
            Add(QIcon(QPixmap::fromImage(PaintTrayIcon(reading.temperature, scale, reading.state))),
                ReadingTip(reading).left(kTipRoom - 1));
            m_painted.back() = {reading.temperature, reading.state};
        }
    }
    for (std::size_t i = 0; i < readings.size() && i < m_icons.size(); ++i) {
        const DiskReading& reading = readings[i];
        const Painted now{reading.temperature, reading.state};
        if (m_painted[i] != now) {
            m_painted[i] = now;
            m_icons[i]->setIcon(QIcon(
                QPixmap::fromImage(PaintTrayIcon(reading.temperature, scale, reading.state))));
        }
        const QString tip = ReadingTip(reading).left(kTipRoom - 1);
        if (m_icons[i]->toolTip() != tip)
            m_icons[i]->setToolTip(tip);
    }
}

void CTrayIcons::Remove() {
    for (const auto& icon : m_icons)
        icon->hide();
    m_icons.clear();
    m_painted.clear();
}
