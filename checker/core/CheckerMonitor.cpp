#include "CheckerMonitor.h"

#include "AlertWatch.h"
#include "DeviceBackendInstall.h"
#include "DiskReports.h"
#include "HistoryReading.h"
#include "PassHistory.h"
#include "PassNotice.h"
#include "Translation.h"

#include <algorithm>
#include <memory>

using namespace vorn::diskpass;

namespace vorn::checker {

namespace {

// Functions, not constants: the catalogue is installed after static
// initialisation.
QString RestartQuestion() {
    return Cm_Tr("CheckerMonitor", "ハードディスクの使用時間を再調査します。\nよろしいですか？");
}
QString FolderPrompt() {
    return Cm_Tr("CheckerMonitor", "ディスク情報を保存するフォルダを選択してください");
}
QString AcceptQuestion() {
    return Cm_Tr("CheckerMonitor",
                 "ディスクの今の状態を基準にして、同じ変化は知らせないようにしますか？");
}
// Shown once, after the first scan, when every disk refused this user.
QString NoPermission() {
    return Cm_Tr("CheckerMonitor",
                 "ディスクを読み取る権限がありません。ディスクヘルパー（vorn-diskhelper）を"
                 "インストールするか、管理者として実行してください。");
}

} // namespace

CCheckerMonitor::CCheckerMonitor(const PassOptions& options, Environment environment)
    : m_env(std::move(environment)), m_session(options, m_env.session) {}

CCheckerMonitor::~CCheckerMonitor() {
    if (m_exited)
        return;
    // Neither the timer's tick nor a pass may reach a monitor that is gone.
    StopTimer();
    m_env.runner->Abandon();
}

void CCheckerMonitor::RunPass(std::function<void()> work, std::function<void()> end) {
    m_busy = true;
    m_view->SetBusy(true);
    const bool started = m_env.runner->Run(std::move(work), [this, end = std::move(end)] {
        // Still busy while the end runs: a message box it opens must not
        // let a command reach the disks half-way through.
        if (end)
            end();
        m_busy = false;
        m_view->SetBusy(false);
        RunAnswers();
    });
    if (!started) {
        m_busy = false;
        m_view->SetBusy(false);
    }
}

void CCheckerMonitor::WhenIdle(Answer answer, std::function<void()> command) {
    if (m_exited)
        return;
    const auto same = std::find_if(m_answers.begin(), m_answers.end(),
                                   [answer](const auto& queued) { return queued.first == answer; });
    if (same != m_answers.end())
        same->second = std::move(command);
    else
        m_answers.emplace_back(answer, std::move(command));
    RunAnswers();
}

void CCheckerMonitor::RunAnswers() {
    // An answer that starts a pass leaves the rest for after that pass.
    while (!m_busy && !m_exited && !m_answers.empty()) {
        const std::function<void()> command = std::move(m_answers.front().second);
        m_answers.erase(m_answers.begin());
        command();
    }
}

CCheckerMonitor::Notices CCheckerMonitor::WatchForAlerts() {
    Notices notices;
    for (const CCheckerSession::Notice& notice : m_session.WatchForAlerts(kDesktopChannel))
        notices.append({DiskTitle(*notice.disk), notice.alert.Text()});
    return notices;
}

void CCheckerMonitor::RecordHistory() {
    if (m_env.historyPath.isEmpty())
        return;
    const std::int64_t nowMs = m_env.session.now() * 1000;
    QList<history::Reading> readings;
    for (const CDisk* disk : m_session.Disks()) {
        // A disk left asleep was not read: it has nothing new to keep.
        if (!disk->m_bSleeping)
            readings.append(HistoryReadingOf(*disk, nowMs));
    }
    const diskpass::HistoryWrite write = diskpass::RecordPass(m_env.historyPath, readings, nowMs);
    if (m_env.historyNotice) {
        for (const QString& line : write.notices)
            m_env.historyNotice(line);
    }
}

void CCheckerMonitor::Tell(const Notices& notices) {
    const PassNotice notice = PassNoticeOf(QStringLiteral("DrivewatchMini"), notices);
    if (!notice.IsEmpty())
        m_view->Notify(notice.title, notice.text);
}

void CCheckerMonitor::Publish() {
    CheckerSnapshot snapshot;
    for (const CDisk* disk : m_session.Disks())
        snapshot.disks.push_back(DiskSnapshotOf(*disk, m_session.Panel(disk)));
    snapshot.shown = m_shown;
    m_snapshot = std::move(snapshot);
    m_view->Show(m_snapshot);
}

void CCheckerMonitor::Start(CCheckerView* view) {
    if (m_view || m_exited)
        return;
    m_view = view;
    auto measure = std::make_shared<bool>(false);
    auto notices = std::make_shared<Notices>();
    RunPass(
        [this, measure, notices] {
            m_session.Scan();
            *measure = m_session.LoadBaselines();
            *notices = WatchForAlerts();
            RecordHistory();
        },
        [this, measure, notices] {
            m_shown = m_session.Disks().IsEmpty() ? -1 : 0;
            Publish();
            if (m_session.Disks().IsEmpty() && vorn::platform::deviceAccessDenied())
                m_view->Inform(NoPermission());
            if (*measure)
                StartMeasurement(false);
            Tell(*notices);
        });
}

void CCheckerMonitor::Refresh() {
    if (Refuses())
        return;
    auto notices = std::make_shared<Notices>();
    RunPass(
        [this, notices] {
            m_session.Refresh();
            *notices = WatchForAlerts();
            RecordHistory();
        },
        [this, notices] {
            Publish();
            Tell(*notices);
        });
}

void CCheckerMonitor::TimerPass() {
    if (Refuses())
        return;
    // A pass that finds the disks in use waits for the next tick.
    auto over = std::make_shared<bool>(false);
    auto notices = std::make_shared<Notices>();
    RunPass(
        [this, over, notices] {
            *over = m_session.TimerPass();
            *notices = WatchForAlerts();
            RecordHistory();
        },
        [this, over, notices] {
            if (*over)
                StopTimer();
            Publish();
            Tell(*notices);
        });
}

void CCheckerMonitor::Select(int index) {
    if (Refuses() || !m_session.Disks().GetAt(index))
        return;
    m_shown = index;
    Publish();
}

void CCheckerMonitor::StartMeasurement(bool reset) {
    m_env.timer->Stop();
    m_session.StartMeasurement(reset);
    if (reset)
        Publish();
    m_env.timer->Start(CPohMeasurement::kIntervalMs, [this] { TimerPass(); });
    m_timerRunning = true;
}

void CCheckerMonitor::StopTimer() {
    m_env.timer->Stop();
    m_timerRunning = false;
}

void CCheckerMonitor::AskRestartMeasurement() {
    if (Refuses() || !m_view->AskYesNo(RestartQuestion()))
        return;
    WhenIdle(Answer::RestartMeasurement, [this] { StartMeasurement(true); });
}

void CCheckerMonitor::SaveReports() {
    if (Refuses())
        return;
    const QString folder = m_view->PickFolder(FolderPrompt());
    if (folder.isEmpty())
        return;
    WhenIdle(Answer::SaveReports, [this, folder] {
        const ReportSaving saving = SaveDiskReports(m_session.Disks(), folder, m_env.startDir);
        m_view->Inform(ReportSavingMessage(saving, folder));
    });
}

void CCheckerMonitor::AskAcceptAlerts() {
    if (Refuses() || !m_view->AskYesNo(AcceptQuestion()))
        return;
    AcceptAlerts();
}

void CCheckerMonitor::AcceptAlerts() {
    if (!m_view)
        return;
    WhenIdle(Answer::AcceptAlerts, [this] { RunPass([this] { m_session.AcceptAll(); }, {}); });
}

std::optional<AttributeFigures> CCheckerMonitor::Detail(int row) const {
    const DiskSnapshot* shown = m_snapshot.Shown();
    if (Refuses() || !shown || row < 0 || row >= int(shown->attributes.size()))
        return std::nullopt;
    return shown->attributes[std::size_t(row)].detail;
}

void CCheckerMonitor::Exit() {
    if (m_exited)
        return;
    m_exited = true;
    m_answers.clear();
    StopTimer();
    // The disks are written and freed only once no pass is on them.
    m_env.runner->Abandon();
    m_busy = false;
    m_session.WriteBaselines();
}

} // namespace vorn::checker
