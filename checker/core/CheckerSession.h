#pragma once

#include "AlertWatch.h"
#include "DiskList.h"
#include "DiskScan.h"
#include "PanelText.h"
#include "PassClock.h"
#include "PassOptions.h"
#include "PohUnit.h"

#include <QString>

#include <QStringList>

#include <functional>
#include <set>
#include <vector>

namespace vorn::checker {

// One run of the checker without its window: the disks of the scan, their
// baseline files and the power-on-hours measurement. The window and the
// command-line tool each own one and call it in the order of a start:
// Scan, LoadBaselines, (StartMeasurement), then Refresh / TimerPass on
// demand, and WriteBaselines at the end.
class CCheckerSession {
public:
    struct Environment {
        QString logPath;                      // the run log of the scan; none when empty
        std::function<QString()> baselineDir; // asked at every read and write
        bool writeBaselines = true;           // false: baseline files are only read
        diskpass::PassClock now = diskpass::SystemClock();
        diskpass::PassSleeper sleep = diskpass::SystemSleeper();
        // The start-up scan: what the user asked for, so every disk is read
        // unless the caller says otherwise (drivewatch --no-wake).
        diskpass::PowerCheck scanCheck = diskpass::PowerCheck::Note;
    };

    CCheckerSession(const diskpass::PassOptions& options, Environment environment);

    const diskpass::PassOptions& Options() const { return m_options; }
    const CDiskList& Disks() const { return m_disks; }
    CPohMeasurement& Measurement() { return m_measurement; }
    const CPohMeasurement& Measurement() const { return m_measurement; }

    void Scan();

    // For every disk with S.M.A.R.T. enabled: its baseline file, or, when
    // there is none, its current values as the baseline (and that file
    // written). Returns true when some such disk has no power-on unit yet.
    bool LoadBaselines();

    // Re-reads every disk and rewrites the baseline files; check decides
    // whether a sleeping disk is read.
    void Refresh(diskpass::PowerCheck check = diskpass::PowerCheck::Note);

    void StartMeasurement(bool reset);
    // One tick of the measurement timer: refresh the disks that are awake,
    // then decide the units. True when the measurement is over (or was not
    // running).
    bool TimerPass();

    // The end of a run: the baseline of every disk with S.M.A.R.T. enabled.
    void WriteBaselines();

    BOOL WriteBaseline(CDisk* disk);
    BOOL ReadBaseline(CDisk* disk);

    // Files the run could not read or write as asked, one "<path>: <reason>"
    // line each, in the order met and without repeats: a run log that could
    // not be opened or written whole, a baseline file that was refused on
    // reading (that file is then never replaced either) or not written.
    const QStringList& FileErrors() const { return m_fileErrors; }

    PanelTexts Panel(const CDisk* disk) const;

    // Compares every disk the last pass read with the state the user
    // accepted (beside the baseline files) and returns what the channel has
    // not been told yet, in disk order.
    struct Notice {
        const CDisk* disk;
        diskpass::DiskAlert alert;
    };
    std::vector<Notice> WatchForAlerts(const QString& channel,
                                       const diskpass::AlertLimits& limits = {});
    // The disks as they are become the accepted state; baselines written.
    void AcceptAll(const diskpass::AlertLimits& limits = {});

private:
    QString BaselineDir() const;
    void NoteFileError(const QString& line);

    diskpass::PassOptions m_options;
    Environment m_env;
    CDiskList m_disks;
    CPohMeasurement m_measurement;
    QStringList m_fileErrors;
    // Disks whose baseline file was refused: whatever sits at its name is
    // not ours to replace.
    std::set<const CDisk*> m_refusedBaselines;
};

} // namespace vorn::checker
