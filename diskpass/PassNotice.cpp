#include "PassNotice.h"

#include "Translation.h"

namespace vorn::diskpass {

QString DiskTitle(const CScannedDisk& disk) {
    return (disk.GetModelNumber() + QLatin1Char(' ') + disk.m_strDriveLetters).trimmed();
}

PassNotice PassNoticeOf(const QString& program, const QList<DiskChange>& changes,
                        const QStringList& notes) {
    QStringList disks;
    for (const DiskChange& change : changes) {
        if (!disks.contains(change.disk))
            disks.append(change.disk);
    }
    QStringList lines;
    PassNotice notice;
    if (disks.size() == 1) {
        notice.title = disks.front();
        for (const DiskChange& change : changes)
            lines.append(change.text);
    } else if (disks.size() > 1) {
        notice.title =
            Cm_Tr("PassNotice", "%n 台のディスクの状態が変わりました", nullptr, int(disks.size()));
        for (const DiskChange& change : changes)
            lines.append(change.disk + QStringLiteral(" — ") + change.text);
    } else if (!notes.isEmpty()) {
        notice.title = program;
    }
    lines += notes;
    notice.text = lines.join(QLatin1Char('\n'));
    return notice;
}

} // namespace vorn::diskpass
