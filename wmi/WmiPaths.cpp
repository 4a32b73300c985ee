#include "WmiPaths.h"

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
    long long number = -1;
    for (qsizetype i = at + 6;
         i < antecedent.size() && antecedent.at(i) >= u'0' && antecedent.at(i) <= u'9'; ++i) {
        number = (number < 0 ? 0 : number) * 10 + (antecedent.at(i).unicode() - u'0');
        if (number > std::numeric_limits<int>::max())
            return -1;
    }
    return static_cast<int>(number);
}

int Cm_GetPartitionDiskNumber(const char16_t* antecedent) {
    return Cm_GetPartitionDiskNumber(Cm_FromWide(antecedent));
}
