#pragma once

#include "DiskAlerts.h"
#include "DiskScan.h"
#include "DiskState.h"
#include "HeatgaugeDisk.h"
#include "HeatgaugeSettings.h"
#include "PassClock.h"
#include "PassOptions.h"
#include "PassRunner.h"
#include "RefreshTimer.h"
#include "StripGeometry.h"

#include <QString>

#include <functional>
#include <set>
#include <vector>

// What the strip and the tray show of one disk.
struct DiskReading {
    int temperature = kUnknownTemperature;
    QString model;
    QString driveLetters;
    bool sleeping = false; // left unread in standby: the temperature is older
    QString lastAlert;     // the last change for the worse, kept until the next
    vorn::DiskState state = vorn::DiskState::Unknown;
    // Done share of the drive's own self-test as its last read said; -1
    // when none runs or the disk was left asleep (the byte would be old).
    int selfTestPercent = -1;
};

// "model\ndrive names\n41 ℃", or "-- ℃" when the temperature is unknown;
// " スタンバイ中" after it for a disk in standby, and the last alert on a
// line of its own; "セルフテスト中 NN%" on one while the drive tests itself.
QString ReadingTip(const DiskReading& reading);

// The window side of the monitor: the strip, its tray icons and dialogs.
class CStripView {
public:
    virtual ~CStripView() = default;
    virtual void Place(const WinRect& rect) = 0;
    virtual void SetTopmost(bool topmost) = 0;
    virtual void SetMouseInput(bool takesInput) = 0;
    // Fades the strip in from nothing to percent, or out from percent.
    virtual void Fade(bool fadeIn, int percent) = 0;
    virtual void ShowReadings(const std::vector<DiskReading>& readings) = 0;
    virtual void ShowAbout() = 0;
    // Brings the strip to the front after a click on a tray icon.
    virtual void Activate() = 0;
    // The end: tray icons removed, the strip faded out (when shown) and gone.
    virtual void Finish(bool fadeOut, int percent) = 0;
    // A desktop notification that a disk got worse.
    virtual void Notify(const QString& title, const QString& text) = 0;
};

// The temperature monitor without its window: the disks, the settings and
// every decision the menu, the tray, dragging, the work area, the timer and
// the exit make.
class CHeatgaugeMonitor {
public:
    static constexpr int kRefreshMs = 120000;

    struct Environment {
        QString settingsPath;
        vorn::diskpass::CRefreshTimer* timer = nullptr;
        vorn::diskpass::CDiskPassRunner* runner = nullptr;
    };

    explicit CHeatgaugeMonitor(Environment environment);
    ~CHeatgaugeMonitor();
    CHeatgaugeMonitor(const CHeatgaugeMonitor&) = delete;
    CHeatgaugeMonitor& operator=(const CHeatgaugeMonitor&) = delete;

    // Finds the disks as the checker does, without a run log.
    void Scan(const vorn::diskpass::PassOptions& options, const vorn::diskpass::PassSleeper& sleep);

    WinSize StripSize() const { return strip::Size(m_disks.GetCount()); }

    // Reads the settings, places and shows the strip, reads every disk once
    // and starts the timer.
    void Start(CStripView* view, const WinRect& workArea);

    // One tick of the timer: every disk read again off the window's thread.
    // A tick while the last pass still runs is dropped.
    void Refresh();

    void Command(int command);
    void TrayClicked();

    // The user accepts the disks as they are now: the changes told so far
    // stop counting as changes. Runs as a disk pass; after the running
    // pass when there is one.
    void AcceptAlerts();

    // Dragging by the mouse, in screen coordinates.
    void Press(int x, int y);
    void Drag(int x, int y);
    void Release(int x, int y);

    void WorkAreaChanged(const WinRect& workArea);

    // The end of the program, with or without writing the settings file.
    void Exit(bool save);
    bool HasExited() const { return m_exited; }

    const HeatgaugeSettings& Settings() const { return m_settings; }
    const std::vector<DiskReading>& Readings() const { return m_readings; }
    const CDiskList& Disks() const { return m_disks; }
    bool IsDragging() const { return m_dragging; }

private:
    void TakeReadings();
    void Save();
    void MoveStrip(const WinRect& rect);
    // Off the window's thread: the disk compared with what the user accepted.
    void WatchForAlerts(CDisk* disk);
    QString WatchDir() const;

    struct Notice {
        QString title;
        QString text;
    };

    Environment m_env;
    vorn::diskpass::PowerCheck m_powerCheck = vorn::diskpass::PowerCheck::SkipSleeping;
    vorn::diskpass::AlertLimits m_limits;
    std::vector<QString> m_lastAlerts;  // by list index
    std::vector<Notice> m_notices;      // found by the running pass
    std::set<QString> m_toldFileErrors; // by the passes, one at a time
    CDiskList m_disks;
    HeatgaugeSettings m_settings;
    std::vector<DiskReading> m_readings;
    CStripView* m_view = nullptr;
    WinRect m_workArea;
    bool m_busy = false;
    bool m_acceptPending = false;
    bool m_exited = false;
    bool m_dragging = false;
    int m_dragX = 0;
    int m_dragY = 0;
    WinRect m_dragStart;
};
