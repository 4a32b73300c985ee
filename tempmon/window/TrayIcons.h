#pragma once

#include "ColourScale.h"
#include "HeatgaugeMonitor.h"

#include <QObject>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>
#include <vector>

class QMenu;

// One tray icon per disk, showing its temperature on its colour, or the
// program's single icon when there is no disk; or, when the user asks for
// it, one icon for all disks (TraySummary). Every icon has the same title on
// the desktop, so each tip names its disk. An icon is painted again only
// when its temperature changes: some tray hosts stutter when icons change
// often. A tip is never cut: it keeps every change the disk's last alert
// named, where a tray record of old held 127 characters.
class CTrayIcons : public QObject {
    Q_OBJECT

public:
    // clicked runs on a left click of any icon; menu is every icon's menu.
    CTrayIcons(QMenu* menu, std::function<void()> clicked);
    ~CTrayIcons() override;

    // Creates the icons on the first call and whenever oneForAll changes,
    // then updates pictures and tips.
    void Show(const std::vector<DiskReading>& readings, const ColourScale& scale,
              bool oneForAll = false);
    void Remove();

    int Count() const { return static_cast<int>(m_icons.size()); }
    const QSystemTrayIcon* At(int index) const { return m_icons.at(index).get(); }
    // The icon that carries the program's balloons; null before Show.
    QSystemTrayIcon* MessageIcon() const { return m_icons.empty() ? nullptr : m_icons[0].get(); }

private:
    QSystemTrayIcon* Add(const QIcon& icon, const QString& tip);

    QMenu* m_menu;
    std::function<void()> m_clicked;
    std::vector<std::unique_ptr<QSystemTrayIcon>> m_icons;
    struct Painted {
        int temperature;
        vorn::DiskState state;
        bool operator!=(const Painted& o) const {
            return temperature != o.temperature || state != o.state;
        }
    };
    std::vector<Painted> m_painted; // what each icon shows
    bool m_created = false;
    bool m_oneForAll = false;
};
