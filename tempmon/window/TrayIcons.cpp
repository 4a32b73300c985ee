#include "TrayIcons.h"

#include "StripPainter.h"
#include "TraySummary.h"

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

void CTrayIcons::Show(const std::vector<DiskReading>& readings, const ColourScale& scale,
                      bool oneForAll) {
    if (m_created && oneForAll != m_oneForAll)
        Remove();
    // What each icon shows: its disk, or the one summary of them all.
    std::vector<TraySummary> shown;
    if (oneForAll && !readings.empty()) {
        shown.push_back(SummaryOf(readings));
    } else {
        for (const DiskReading& reading : readings)
            shown.push_back({reading.temperature, reading.state, ReadingTip(reading)});
    }
    if (!m_created) {
        m_created = true;
        m_oneForAll = oneForAll;
        if (shown.empty())
            Add(ProgramIcon(), QStringLiteral("HeatgaugeMini"));
        for (const TraySummary& icon : shown) {
            Add(TrayIcon(icon.temperature, scale, icon.state), icon.tip);
            m_painted.back() = {icon.temperature, icon.state};
        }
    }
    for (std::size_t i = 0; i < shown.size() && i < m_icons.size(); ++i) {
        const TraySummary& icon = shown[i];
        const Painted now{icon.temperature, icon.state};
        if (m_painted[i] != now) {
            m_painted[i] = now;
            m_icons[i]->setIcon(TrayIcon(icon.temperature, scale, icon.state));
        }
        if (m_icons[i]->toolTip() != icon.tip)
            m_icons[i]->setToolTip(icon.tip);
    }
}

void CTrayIcons::Remove() {
    for (const auto& icon : m_icons)
        icon->hide();
    m_icons.clear();
    m_painted.clear();
    m_created = false;
}
