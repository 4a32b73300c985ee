#pragma once

#include "CheckerSession.h"
#include "CheckerSnapshot.h"
#include "PassNotice.h"
#include "PassRunner.h"
#include "RefreshTimer.h"

#include <QString>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace vorn::checker {

// The window side of the checker: the toolbar squares, the panel, the
// attribute list, the tray, and the questions it puts to the user.
class CCheckerView {
public:
    virtual ~CCheckerView() = default;
    // Every disk after a pass, or after the shown disk changed. The
    // snapshot is the view's to keep: no pass changes it.
    virtual void Show(const CheckerSnapshot& snapshot) = 0;
    // A pass starts or has ended; the commands that reach the disks are
    // locked meanwhile.
    virtual void SetBusy(bool busy) = 0;
    // A disk got worse.
    virtual void Notify(const QString& title, const QString& text) = 0;
    virtual bool AskYesNo(const QString& question) = 0;
    virtual void Inform(const QString& message) = 0;
    // The folder for the reports; empty when the user cancels.
    virtual QString PickFolder(const QString& prompt) = 0;
};

// The checker without its window: the session, every pass over the disks
// through the runner, the measurement's timer, and the questions before a
// command. The view gets snapshots built on its thread once a pass is over.
//
// While a pass runs, a command that would read or write the disks is
// dropped, unless the user has already answered for it (accepting the
// alerts, restarting the measurement, the folder of the reports): that one
// follows the pass. Whatever arrives after Exit is dropped.
class CCheckerMonitor {
public:
    struct Environment {
        CCheckerSession::Environment session;
        QString startDir;                            // Template/ for the reports
        diskpass::CRefreshTimer* timer = nullptr;    // the measurement's; not owned
        diskpass::CDiskPassRunner* runner = nullptr; // not owned
        // The history store that every pass adds its readings to; empty:
        // none is kept.
        QString historyPath = QString();
        // One line about the store (moved aside, unusable), from the pass's
        // thread; none: the lines go unsaid.
        std::function<void(const QString&)> historyNotice = nullptr;
    };

    CCheckerMonitor(const diskpass::PassOptions& options, Environment environment);
    // Abandons a running pass; the baselines are Exit's.
    ~CCheckerMonitor();
    CCheckerMonitor(const CCheckerMonitor&) = delete;
    CCheckerMonitor& operator=(const CCheckerMonitor&) = delete;

    // The scan and the baselines. Then the view gets the disks with the
    // first one shown, and the measurement starts when a disk lacks its
    // power-on unit.
    void Start(CCheckerView* view);

    void Refresh();
    // One tick of the measurement's timer; one while a pass runs waits for
    // the next tick.
    void TimerPass();
    void Select(int index);
    void AskRestartMeasurement();
    void SaveReports();
    void AskAcceptAlerts();
    // The disks as they are become the accepted state (the user pressed
    // the button of a notification).
    void AcceptAlerts();
    // What the detail dialog of a row of the shown list says; none for a
    // row without a record.
    std::optional<AttributeFigures> Detail(int row) const;

    // The end: the timer stopped, a running pass abandoned, the baselines
    // written. The view hears nothing more.
    void Exit();

    bool IsBusy() const { return m_busy; }
    bool IsTimerRunning() const { return m_timerRunning; }
    bool HasExited() const { return m_exited; }
    // What the view was shown last.
    const CheckerSnapshot& Snapshot() const { return m_snapshot; }
    // Its disks may be read only while no pass runs.
    const CCheckerSession& Session() const { return m_session; }

private:
    using Notices = QList<diskpass::DiskChange>;

    // The commands that can follow a pass; a second answer of a kind
    // replaces the first.
    enum class Answer { AcceptAlerts, RestartMeasurement, SaveReports };

    bool Refuses() const { return m_busy || m_exited || !m_view; }
    // work on the runner, then end here with the view told it is busy
    // meanwhile.
    void RunPass(std::function<void()> work, std::function<void()> end);
    void WhenIdle(Answer answer, std::function<void()> command);
    void RunAnswers();
    // Off the window's thread, inside a pass.
    Notices WatchForAlerts();
    // Everything one pass found, in one notification.
    // The pass's readings into the history, off the window's thread too.
    void RecordHistory();
    void Tell(const Notices& notices);
    void Publish();
    void StartMeasurement(bool reset);
    void StopTimer();

    Environment m_env;
    CCheckerSession m_session;
    CCheckerView* m_view = nullptr;
    CheckerSnapshot m_snapshot;
    int m_shown = -1;
    std::vector<std::pair<Answer, std::function<void()>>> m_answers;
    bool m_busy = false;
    bool m_timerRunning = false;
    bool m_exited = false;
};

} // namespace vorn::checker
