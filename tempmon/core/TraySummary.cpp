#include "TraySummary.h"

#include "ReadingWords.h"

namespace {

// Failing over caution over the rest: what the single icon must not hide.
int Severity(vorn::DiskState state) {
    switch (state) {
    case vorn::DiskState::Failing:
        return 2;
    case vorn::DiskState::Caution:
        return 1;
    case vorn::DiskState::Good:
    case vorn::DiskState::Unknown:
        break;
    }
    return 0;
}

} // namespace

TraySummary SummaryOf(const std::vector<DiskReading>& readings) {
    TraySummary summary;
    if (readings.empty()) {
        summary.tip = QStringLiteral("HeatgaugeMini");
        return summary;
    }
    QStringList lines;
    for (const DiskReading& reading : readings) {
        if (reading.temperature != kUnknownTemperature &&
            (summary.temperature == kUnknownTemperature ||
             reading.temperature > summary.temperature))
            summary.temperature = reading.temperature;
        if (Severity(reading.state) > Severity(summary.state))
            summary.state = reading.state;
        lines.append(ReadingDescription(reading) + QLatin1Char(' ') + ReadingName(reading));
    }
    summary.tip = lines.join(QLatin1Char('\n'));
    return summary;
}
