#include "WmiPaths.h"

#include "LeadingNumber.h"

#include <WideText.h>

#include <limits>

QString Cm_GetVolumeDriveName(const QString& dependent) {
    // The first `="` opens the device id: a mount point may itself hold
    // `="`, which must not be taken for the start.
    const qsizetype open = dependent.indexOf(QLatin1String("=\""));
    if (open < 0)
        return QString();
    const qsizetype from = open + 2;
    const qsizetype close = dependent.lastIndexOf(QLatin1Char('"'));
    if (close < from)
        return QString();
    return dependent.mid(from, close - from);
}

QString Cm_GetVolumeDriveName(const char16_t* dependent) {
    return Cm_GetVolumeDriveName(Cm_FromWide(dependent));
}

int Cm_GetPartitionDiskNumber(const QString& antecedent) {
    const qsizetype at = antecedent.indexOf(QLatin1String("Disk #"));
    if (at < 0)
        return -1;
    // The digits right after the mark; none, or too many for a disk number,
    // name no disk.
    const vorn::LeadingNumber number = vorn::readLeadingNumber(
        QStringView(antecedent).mid(at + 6), 0, std::numeric_limits<int>::max(),
        vorn::LeadingNumberForm{false, false});
    return number.status == vorn::LeadingNumber::Number ? static_cast<int>(number.value) : -1;
}

int Cm_GetPartitionDiskNumber(const char16_t* antecedent) {
    return Cm_GetPartitionDiskNumber(Cm_FromWide(antecedent));
}
