#include "CheckerSnapshot.h"

#include "CheckerDisk.h"
#include "DiskReports.h"
#include "PassHistory.h"
#include "Translation.h"

#include <utility>

namespace vorn::checker {

DiskSnapshot DiskSnapshotOf(const CDisk& disk, PanelTexts panel) {
    DiskSnapshot snapshot;
    snapshot.button = DiskButtonValuesOf(disk);
    snapshot.state = DiskStateOf(disk.SupportSMART(), disk.GetStatus());
    snapshot.identity = diskpass::HistoryIdentityOf(disk);
    snapshot.tip = QStringLiteral("%1\n%2").arg(disk.GetModelNumber(), disk.m_strDriveLetters);
    if (const QString line = DiskStateTipLine(snapshot.state); !line.isEmpty())
        snapshot.tip += QLatin1Char('\n') + line;
    // The attribute that made the verdict, so the square says why it warns.
    if (!panel.statusTip.isEmpty())
        snapshot.tip += QLatin1Char('\n') + panel.statusTip;
    if (disk.m_bSleeping) {
        const QString sleeping = Cm_Tr("CheckerSnapshot", "スタンバイ中");
        snapshot.tip += QLatin1Char('\n') + sleeping;
        snapshot.trayNote = disk.GetModelNumber() + QLatin1Char(' ') + sleeping;
    }
    snapshot.panel = std::move(panel);
    for (AttributeRow row : MakeAttributeRows(disk)) {
        std::optional<AttributeFigures> detail;
        if (row.record)
            detail = AttributeFiguresOf(*row.record);
        row.record = nullptr;
        snapshot.attributes.push_back({std::move(row), std::move(detail)});
    }
    return snapshot;
}

const DiskSnapshot* CheckerSnapshot::Shown() const {
    return shown >= 0 && shown < int(disks.size()) ? &disks[std::size_t(shown)] : nullptr;
}

QString TrayTip(const QString& base, const CheckerSnapshot& snapshot) {
    QString tip = base;
    for (const DiskSnapshot& disk : snapshot.disks) {
        if (!disk.trayNote.isEmpty())
            tip += QLatin1Char('\n') + disk.trayNote;
    }
    return tip;
}

} // namespace vorn::checker
