#include "ReadingWords.h"

#include "Translation.h"

QString ReadingName(const DiskReading& reading) {
    return (reading.model + QLatin1Char(' ') + reading.driveLetters).trimmed();
}

QString ReadingDescription(const DiskReading& reading) {
    const QString degrees = reading.temperature == kUnknownTemperature
                                ? QStringLiteral("--")
                                : QString::number(reading.temperature);
    const QString mark = vorn::DiskStateMark(reading.state);
    QString text = degrees + QStringLiteral(" ℃ ") + (mark.isEmpty() ? QString() : mark + ' ') +
                   vorn::DiskStateWord(reading.state);
    if (reading.sleeping)
        text += QLatin1Char(' ') + Cm_Tr("HeatgaugeTip", "スタンバイ中");
    return text;
}
