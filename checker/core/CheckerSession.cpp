#include "CheckerSession.h"

#include "PowerOnChoice.h"

#include "BaselineFile.h"
#include "DiskScan.h"
#include "ErrorLog.h"
#include "SafeFile.h"
#include "TextConvert.h"

using namespace vorn::diskpass;

namespace vorn::checker {

CCheckerSession::CCheckerSession(const PassOptions& options, Environment environment)
    : m_options(options), m_env(std::move(environment)), m_measurement(m_env.now) {
    if (!m_env.baselineDir)
        m_env.baselineDir = [] { return Cm_CurrentDirectory(); };
}

QString CCheckerSession::BaselineDir() const {
    return m_env.baselineDir();
}

void CCheckerSession::NoteFileError(const QString& line) {
    if (!line.isEmpty() && !m_fileErrors.contains(line))
        m_fileErrors.append(line);
}

void CCheckerSession::Scan() {
    ScanDisks(&m_disks, m_options, m_env.logPath, m_env.sleep, m_env.scanCheck);
    if (!m_env.logPath.isEmpty()) {
        if (const int failure = Cm_ErrorFileFailure())
            NoteFileError(QStringLiteral("%1: %2").arg(m_env.logPath, Cm_FileErrorText(failure)));
    }
}

BOOL CCheckerSession::ReadBaseline(CDisk* disk) {
    QString error;
    const BOOL read = checker::ReadBaseline(BaselineDir(), disk, &error);
    if (!error.isEmpty()) {
        m_refusedBaselines.insert(disk);
        NoteFileError(error);
    }
    return read;
}

BOOL CCheckerSession::WriteBaseline(CDisk* disk) {
    if (!m_env.writeBaselines || m_refusedBaselines.count(disk) || disk->IsNvme())
        return FALSE;
    QString error;
    const BOOL written = checker::WriteBaseline(BaselineDir(), disk, m_env.now, &error);
    NoteFileError(error);
    return written;
}

bool CCheckerSession::LoadBaselines() {
    // Temporaries a killed run left beside the baselines go at the next run.
    Cm_RemoveStaleTemporaries(BaselineDir());
    bool measurementNeeded = false;
    for (CDisk* disk : m_disks) {
        if (!disk->EnableSMART())
            continue;
        // An NVMe disk counts hours and has no attribute records: no
        // baseline file, and no unit to measure.
        if (disk->IsNvme()) {
            disk->m_nPohUnit = kPohUnitHours;
            continue;
        }
        if (!ReadBaseline(disk)) {
            disk->m_HddSmart.SetInitValue();
            WriteBaseline(disk);
        }
        if (disk->m_nPohUnit == -1 && PowerOnUnitNeedsMeasuring(*disk))
            measurementNeeded = true;
    }
    return measurementNeeded;
}

void CCheckerSession::Refresh(PowerCheck check) {
    RefreshDisks(
        m_disks, [this](CDisk* disk) { WriteBaseline(disk); }, check);
}

void CCheckerSession::StartMeasurement(bool reset) {
    m_measurement.Start(m_disks, reset, [this](CDisk* disk) { WriteBaseline(disk); });
}

bool CCheckerSession::TimerPass() {
    if (!m_measurement.IsRunning())
        return true;
    Refresh(PowerCheck::SkipSleeping);
    return m_measurement.Pass(m_disks);
}

void CCheckerSession::WriteBaselines() {
    for (CDisk* disk : m_disks) {
        if (disk->EnableSMART())
            WriteBaseline(disk);
    }
}

PanelTexts CCheckerSession::Panel(const CDisk* disk) const {
    return MakePanelTexts(disk, m_measurement.m_nPohWindow, m_env.now());
}

std::vector<CCheckerSession::Notice> CCheckerSession::WatchForAlerts(const QString& channel,
                                                                     const AlertLimits& limits) {
    std::vector<Notice> notices;
    for (CDisk* disk : m_disks) {
        const WatchResult watch = WatchDisk(disk, BaselineDir(), channel, limits);
        NoteFileError(watch.fileError);
        for (const DiskAlert& alert : watch.fresh)
            notices.push_back({disk, alert});
    }
    return notices;
}

void CCheckerSession::AcceptAll(const AlertLimits& limits) {
    for (CDisk* disk : m_disks) {
        QString error;
        if (AcceptDisk(disk, BaselineDir(), limits, &error))
            WriteBaseline(disk);
        NoteFileError(error);
    }
}

} // namespace vorn::checker
