#pragma once

#include "ScannedDisk.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vorn::diskpass {

// One change of one disk that a pass found.
struct DiskChange {
    QString disk; // DiskTitle
    QString text; // DiskAlert::Text
};

struct PassNotice {
    QString title;
    QString text;
    bool IsEmpty() const { return title.isEmpty(); }
};

// "model C: D:", the name a notification gives a disk.
QString DiskTitle(const CScannedDisk& disk);

// Everything a pass has to tell in one notification: a desktop shows one
// balloon at a time and a second one replaces the first, so several
// notifications of one pass would leave only the last one readable. One disk
// titles it and has a line per change; several disks give a title that
// counts them and a "disk — change" line each. notes (files that cannot be
// stored) follow as lines of their own under the program's name when there
// is no change. Empty when there is nothing to tell.
PassNotice PassNoticeOf(const QString& program, const QList<DiskChange>& changes,
                        const QStringList& notes = {});

} // namespace vorn::diskpass
