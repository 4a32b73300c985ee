#pragma once

#include "DiskAlerts.h"
#include "DiskScan.h"
#include "DiskState.h"
#include "HeatgaugeDisk.h"
#include "HeatgaugeSettings.h"
#include "HistoryGraphs.h"
#include "PassClock.h"
#include "PassHistory.h"
#include "PassNotice.h"
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
    // The changes for the worse the last pass that found any told, one a
    // line, kept until the next such pass.
    QString lastAlert;
    vorn::DiskState state = vorn::DiskState::Unknown;
    // Why a USB disk's S.M.A.R.T. was not read; empty otherwise. Initialised
    // here so that readings written as braces may leave it out.
    QString smartNote{};
    // The lowest and highest temperature of the last 24 hours that the
    // history holds; -1 when it holds none.
    int dayLow = -1;
    int dayHigh = -1;
    // Whose readings the history holds, copied while no pass runs.
    vorn::history::DiskIdentity identity = {};
    // Done share of the drive's own self-test as its last read said; -1
    // when none runs or the disk was left asleep (the byte would be old).
    int selfTestPercent = -1;
};

// "model\ndrive names\n41 ℃", or "-- ℃" when the temperature is unknown;
// " スタンバイ中" after it for a disk in standby, "24時間: 31-44℃" for the
// day's range in the history, the last alerts on lines of their own, then
// why a USB disk shows no S.M.A.R.T.; "セルフテスト中 NN%" on one while
// the drive tests itself.
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
    // A desktop notification of everything a pass found worse.
    virtual void Notify(const QString& title, const QString& text) = 0;
    // The window of the disks' temperatures over the day ("温度の履歴").
    virtual void ShowHistory(const vorn::diskpass::GraphQuery& query) { (void)query; }
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
        // The history store each pass adds its readings to; empty: none.
        QString historyPath = QString();
        vorn::diskpass::PassClock now = vorn::diskpass::SystemClock();
        // One line about the store, from the pass's thread; none: unsaid.
        std::function<void(const QString&)> historyNotice = nullptr;
    };

    explicit CHeatgaugeMonitor(Environment environment);
    ~CHeatgaugeMonitor();
    CHeatgaugeMonitor(const CHeatgaugeMonitor&) = delete;
    CHeatgaugeMonitor& operator=(const CHeatgaugeMonitor&) = delete;

    // Finds the disks as the checker does, without a run log.
    void Scan(const vorn::diskpass::PassOptions& options, const vorn::diskpass::PassSleeper& sleep);

    WinSize StripSize() const { return strip::Size(m_disks.GetCount(), m_columns); }
    // Cells per row (strip::Columns) in the work area the strip was last
    // placed in; 0 for one row.
    int Columns() const { return m_columns; }

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
    // Off the window's thread: the pass's readings into the history, and
    // each disk's range of the day back.
    void RecordHistory(const std::vector<const CDisk*>& read);
    vorn::diskpass::GraphQuery HistoryQuery() const;
    QString WatchDir() const;

    Environment m_env;
    vorn::diskpass::PowerCheck m_powerCheck = vorn::diskpass::PowerCheck::SkipSleeping;
    vorn::diskpass::AlertLimits m_limits;
    std::vector<QString> m_lastAlerts;                        // by list index
    std::vector<vorn::history::TemperatureRange> m_dayRanges; // by list index
    QList<vorn::diskpass::DiskChange> m_changes;              // found by the running pass
    QStringList m_fileNotes;                                  // the same
    std::set<QString> m_toldFileErrors;                       // by the passes, one at a time
    CDiskList m_disks;
    HeatgaugeSettings m_settings;
    std::vector<DiskReading> m_readings;
    CStripView* m_view = nullptr;
    WinRect m_workArea;
    int m_columns = 0;
    bool m_busy = false;
    bool m_acceptPending = false;
    bool m_exited = false;
    bool m_dragging = false;
    int m_dragX = 0;
    int m_dragY = 0;
    WinRect m_dragStart;
};
