#include "HeatgaugeMonitor.h"

#include "AlertWatch.h"
#include "DiskScan.h"
#include "HeatgaugeMenu.h"
#include "SafeFile.h"
#include "Translation.h"

#include <QFileInfo>

#include <utility>

using namespace vorn::diskpass;

using namespace heatgauge;

QString ReadingTip(const DiskReading& reading) {
    const QString degrees = reading.temperature == kUnknownTemperature
                                ? QStringLiteral("--")
                                : QString::number(reading.temperature);
    QString tip = reading.model + QLatin1Char('\n') + reading.driveLetters + QLatin1Char('\n') +
                  degrees + QStringLiteral(" ℃");
    if (reading.sleeping)
        tip += QLatin1Char(' ') + Cm_Tr("HeatgaugeTip", "スタンバイ中");
    if (reading.dayLow > 0)
        tip += QLatin1Char('\n') +
               Cm_Tr("HeatgaugeTip", "24時間: %1-%2℃").arg(reading.dayLow).arg(reading.dayHigh);
    if (const QString line = vorn::DiskStateTipLine(reading.state); !line.isEmpty())
        tip += QLatin1Char('\n') + line;
    if (reading.selfTestPercent >= 0)
        tip += QLatin1Char('\n') +
               Cm_Tr("HeatgaugeTip", "セルフテスト中 %1%").arg(reading.selfTestPercent);
    if (!reading.lastAlert.isEmpty())
        tip += QLatin1Char('\n') + reading.lastAlert;
    if (!reading.smartNote.isEmpty())
        tip += QLatin1Char('\n') + reading.smartNote;
    return tip;
}

CHeatgaugeMonitor::CHeatgaugeMonitor(Environment environment) : m_env(std::move(environment)) {}

CHeatgaugeMonitor::~CHeatgaugeMonitor() {
    // A pass still reading the disks must not outlive them; its end has no
    // one left to tell.
    if (m_env.runner)
        m_env.runner->Abandon();
}

void CHeatgaugeMonitor::Scan(const PassOptions& options, const PassSleeper& sleep) {
    // The scan comes before the settings are applied, but a disk that sleeps
    // must not be woken by it either.
    const HeatgaugeSettings settings =
        ParseSettings(ReadSettingsFile(m_env.settingsPath), WinRect{});
    m_powerCheck = settings.powerCheck ? PowerCheck::SkipSleeping : PowerCheck::Off;
    ScanDisks(&m_disks, options, QString(), sleep, m_powerCheck);
    int index = 0;
    for (CDisk* disk : m_disks)
        disk->m_nListIndex = index++;
    m_lastAlerts.assign(std::size_t(m_disks.GetCount()), QString());
    m_dayRanges.assign(std::size_t(m_disks.GetCount()), {});
    TakeReadings();
}

void CHeatgaugeMonitor::TakeReadings() {
    m_readings.clear();
    for (const CDisk* disk : m_disks) {
        const vorn::history::TemperatureRange day = m_dayRanges[std::size_t(disk->m_nListIndex)];
        // The status byte comes with the data every refresh reads anyway;
        // the strip never asks the drive for it on its own.
        const vorn::hdd::SelfTestProgress test = disk->GetSelfTestProgress();
        m_readings.push_back(
            {disk->GetTemperature(), disk->GetModelNumber(), disk->m_strDriveLetters,
             disk->m_bSleeping, m_lastAlerts[std::size_t(disk->m_nListIndex)],
             vorn::DiskStateOf(disk->SupportSMART(), disk->GetStatus()),
             vorn::diskpass::UsbSmartLine(*disk), day.low, day.high, HistoryIdentityOf(*disk),
             test.running && !disk->m_bSleeping ? 100 - test.remainingPercent : -1});
    }
}

QString CHeatgaugeMonitor::WatchDir() const {
    return QFileInfo(m_env.settingsPath).absolutePath();
}

void CHeatgaugeMonitor::WatchForAlerts(CDisk* disk) {
    const WatchResult watch = WatchDisk(disk, WatchDir(), kDesktopChannel, m_limits);
    // A watch file that cannot be read or stored silences the disk's
    // alerts until it is mended: said once per run, not at every tick.
    if (!watch.fileError.isEmpty() && m_toldFileErrors.insert(watch.fileError).second)
        m_fileNotes.append(Cm_Tr("HeatgaugeNotice", "%1 — 変化を記録できないため、"
                                                    "このディスクの変化は通知されません")
                               .arg(watch.fileError));
    QStringList lines;
    for (const DiskAlert& alert : watch.fresh) {
        m_changes.append({DiskTitle(*disk), alert.Text()});
        lines.append(alert.Text());
    }
    if (!lines.isEmpty())
        m_lastAlerts[std::size_t(disk->m_nListIndex)] = lines.join(QLatin1Char('\n'));
}

void CHeatgaugeMonitor::RecordHistory(const std::vector<const CDisk*>& read) {
    if (m_env.historyPath.isEmpty())
        return;
    const std::int64_t nowMs = m_env.now() * 1000;
    QList<vorn::history::Reading> readings;
    for (const CDisk* disk : read)
        readings.append(BasicReadingOf(*disk, nowMs));
    QList<vorn::history::DiskIdentity> everyDisk;
    for (const CDisk* disk : m_disks)
        everyDisk.append(HistoryIdentityOf(*disk));
    const HistoryWrite write = RecordPass(m_env.historyPath, readings, nowMs, everyDisk);
    for (qsizetype k = 0; k < write.dayRanges.size() && k < qsizetype(m_dayRanges.size()); ++k)
        m_dayRanges[std::size_t(k)] =
            write.dayRanges[k].value_or(vorn::history::TemperatureRange{});
    if (m_env.historyNotice) {
        for (const QString& line : write.notices)
            m_env.historyNotice(line);
    }
}

GraphQuery CHeatgaugeMonitor::HistoryQuery() const {
    GraphQuery query;
    query.storePath = m_env.historyPath;
    // From the readings: a pass may be rewriting the disks meanwhile.
    for (const DiskReading& reading : m_readings)
        query.disks.append({reading.identity,
                            (reading.model + QLatin1Char(' ') + reading.driveLetters).trimmed()});
    query.value = TemperatureValue();
    query.span = GraphSpan::Day;
    query.nowMs = m_env.now() * 1000;
    query.title = Cm_Tr("HeatgaugeHistory", "温度の履歴 (24時間)");
    return query;
}

void CHeatgaugeMonitor::Start(CStripView* view, const WinRect& workArea) {
    m_view = view;
    m_workArea = workArea;
    m_columns = strip::Columns(m_disks.GetCount(), workArea.Width());
    const WinSize size = StripSize();
    int failure = 0;
    const std::optional<QByteArray> stored = ReadSettingsFile(m_env.settingsPath, &failure);
    m_settings = ParseSettings(stored.value_or(QByteArray()), strip::DefaultPlace(size, workArea));
    m_limits.temperature = m_settings.alertTemp;
    MoveStrip(strip::Snap(m_settings.place.left, m_settings.place.top, size, workArea));
    // Topmost is applied at start only to a strip that is shown.
    if (m_settings.wndShow)
        m_view->SetTopmost(m_settings.wndTop != 0);
    m_view->SetMouseInput(m_settings.wndMouse != 0);
    m_view->ShowReadings(m_readings);
    if (m_settings.wndShow)
        m_view->Fade(true, m_settings.wndAlpha);
    // Said once, with what the first pass finds (a notification of its own
    // would be replaced by that one): the strip runs on, and the file is
    // left as it is (saving refuses a file it could not read).
    if (!stored)
        m_fileNotes.append(Cm_Tr("HeatgaugeNotice",
                                 "設定ファイル %1 を読めません（%2）。既定の設定で動作し、"
                                 "このファイルは書き換えません。")
                               .arg(m_env.settingsPath, Cm_FileErrorText(failure)));
    Refresh();
    m_env.timer->Start(kRefreshMs, [this] { Refresh(); });
}

void CHeatgaugeMonitor::Refresh() {
    if (m_busy || m_exited)
        return;
    m_busy = true;
    // Only the pass touches the disk objects while it runs; the window keeps
    // painting the last readings.
    m_env.runner->Run(
        [this] {
            std::vector<const CDisk*> read;
            for (CDisk* disk : m_disks) {
                // A disk that does not open keeps its last temperature, and
                // so does one left asleep.
                if (!ReopenDisk(disk) || LeaveIfAsleep(disk, m_powerCheck))
                    continue;
                RereadDisk(disk, {});
                WatchForAlerts(disk);
                read.push_back(disk);
            }
            RecordHistory(read);
        },
        [this] {
            m_busy = false;
            TakeReadings();
            const PassNotice notice =
                PassNoticeOf(QStringLiteral("HeatgaugeMini"), std::exchange(m_changes, {}),
                             std::exchange(m_fileNotes, {}));
            if (m_view && !m_exited) {
                m_view->ShowReadings(m_readings);
                if (!notice.IsEmpty())
                    m_view->Notify(notice.title, notice.text);
            }
            if (std::exchange(m_acceptPending, false))
                AcceptAlerts();
        });
}

void CHeatgaugeMonitor::AcceptAlerts() {
    if (m_exited)
        return;
    if (m_busy) {
        m_acceptPending = true;
        return;
    }
    m_busy = true;
    m_env.runner->Run(
        [this] {
            // The tips keep the last alert: it is still what last happened.
            for (CDisk* disk : m_disks)
                AcceptDisk(disk, WatchDir(), m_limits);
        },
        [this] {
            m_busy = false;
            // A press while this ran asked for what it did.
            m_acceptPending = false;
            TakeReadings();
            if (m_view && !m_exited)
                m_view->ShowReadings(m_readings);
        });
}

void CHeatgaugeMonitor::Save() {
    SaveSettingsFile(m_env.settingsPath, m_settings);
}

void CHeatgaugeMonitor::MoveStrip(const WinRect& rect) {
    m_settings.place = rect;
    m_view->Place(rect);
}

void CHeatgaugeMonitor::Command(int command) {
    if (m_exited)
        return;
    HeatgaugeSettings& s = m_settings;
    switch (command) {
    case kCmdAbout:
        m_view->ShowAbout();
        return;
    case kCmdExit:
        Exit(true);
        return;
    case kCmdHistory:
        m_view->ShowHistory(HistoryQuery());
        return;
    case kCmdShow:
        s.wndShow = !s.wndShow;
        m_view->Fade(s.wndShow != 0, s.wndAlpha);
        Save();
        return;
    case kCmdTopmost:
        s.wndTop = !s.wndTop;
        m_view->SetTopmost(s.wndTop != 0);
        Save();
        return;
    case kCmdOneTrayIcon:
        s.oneTrayIcon = !s.oneTrayIcon;
        m_view->ShowReadings(m_readings);
        Save();
        return;
    case kCmdMouse:
        // Written at the exit only.
        s.wndMouse = !s.wndMouse;
        m_view->SetMouseInput(s.wndMouse != 0);
        return;
    default:
        break;
    }
    if (command >= kCmdAlpha0 && command <= kCmdAlpha80) {
        // A level shows the strip at that level without checking "shown".
        s.wndAlpha = AlphaOfCommand(command);
        m_view->Fade(true, s.wndAlpha);
        Save();
    }
}

void CHeatgaugeMonitor::TrayClicked() {
    if (m_exited)
        return;
    m_settings.wndShow = 1;
    m_view->Fade(true, m_settings.wndAlpha);
    m_view->Activate();
    Save();
}

void CHeatgaugeMonitor::Press(int x, int y) {
    if (m_exited)
        return;
    m_dragging = true;
    m_dragX = x;
    m_dragY = y;
    m_dragStart = m_settings.place;
}

void CHeatgaugeMonitor::Drag(int x, int y) {
    if (!m_dragging || m_exited)
        return;
    MoveStrip(strip::Snap(m_dragStart.left + x - m_dragX, m_dragStart.top + y - m_dragY,
                          StripSize(), m_workArea));
}

void CHeatgaugeMonitor::Release(int x, int y) {
    if (m_exited)
        return;
    Drag(x, y);
    m_dragging = false;
    Save();
}

void CHeatgaugeMonitor::WorkAreaChanged(const WinRect& workArea) {
    if (m_dragging || m_exited || !m_view)
        return;
    const WinRect oldArea = m_workArea;
    m_workArea = workArea;
    // A screen too narrow now (or wide enough again) changes the rows: the
    // strip keeps its corner, pulled into the area at its new size.
    if (const int columns = strip::Columns(m_disks.GetCount(), workArea.Width());
        columns != m_columns) {
        m_columns = columns;
        MoveStrip(strip::Snap(m_settings.place.left, m_settings.place.top, StripSize(), workArea));
        m_view->ShowReadings(m_readings);
        return;
    }
    if (const std::optional<WinRect> moved =
            strip::FollowWorkArea(m_settings.place, oldArea, workArea))
        MoveStrip(*moved);
}

void CHeatgaugeMonitor::Exit(bool save) {
    if (m_exited)
        return;
    m_exited = true;
    m_env.timer->Stop();
    m_env.runner->Wait();
    m_disks.RemoveAll();
    if (save)
        Save();
    if (m_view)
        m_view->Finish(m_settings.wndShow != 0, m_settings.wndAlpha);
}
