#include "DeviceStatisticsRead.h"

#include "AtaCommandSet.h"
#include "AtaRequest.h"

#include <algorithm>

namespace vorn::hdd {

namespace {

namespace ata = vorn::platform::ata;
using vorn::platform::AtaCommand;
using vorn::platform::kSectorSize;

constexpr int kWordFeatures83 = 83; // bit 10: 48-bit addressing
constexpr int kWordFeatures84 = 84; // bit 5: General Purpose Logging
constexpr int kWordEnabled87 = 87;  // bit 5: the same, as currently set
constexpr WORD kLba48Bit = 1u << 10;
constexpr WORD kGplBit = 1u << 5;
constexpr WORD kAcs2AndLater = 0xFE00; // word 80 bits 9-15

// Words 83, 84 and 87 mean something only with 01b in bits 15:14.
bool validFeatureWord(WORD word) {
    return (word & 0xC000) == 0x4000;
}

bool hasFeature(const SectorImage& identify, int word, WORD bit) {
    const WORD value = identifyWord(identify, word);
    return validFeatureWord(value) && (value & bit);
}

QString readLogExtTrace(BYTE page) {
    return QStringLiteral("CHdd::GetDeviceStatistics-ReadLogExt-") +
           QString::asprintf("%02X", page);
}

} // namespace

StatisticsRoute statisticsRoute(const SectorImage& identify) {
    const bool lba48 = hasFeature(identify, kWordFeatures83, kLba48Bit);
    const bool gpl = hasFeature(identify, kWordFeatures84, kGplBit) ||
                     hasFeature(identify, kWordEnabled87, kGplBit);
    if (lba48 && gpl)
        return StatisticsRoute::ReadLogExt;
    // The log came with ACS-2; an older drive without General Purpose
    // Logging is not asked.
    const WORD major = identifyWord(identify, vorn::identify::kWordMajorVersion);
    const bool acs2 = major != 0xFFFF && (major & kAcs2AndLater);
    const bool smartOn = identifyWord(identify, vorn::identify::kWordSmartEnabled) & 0x0001;
    return acs2 && smartOn ? StatisticsRoute::SmartReadLog : StatisticsRoute::None;
}

AtaCommand statisticsReadLogExt(BYTE page) {
    AtaCommand command({0, 1, ata::kLogDeviceStatistics, page, 0, 0, ata::kReadLogExt}, true);
    command.extended = true;
    return command;
}

AtaCommand statisticsSmartReadLog() {
    AtaCommand command({ata::kSmartReadLog, ata::kStatisticsSmartLogPages,
                        ata::kLogDeviceStatistics, ata::kSmartLbaMid, ata::kSmartLbaHigh, 0,
                        ata::kSmart},
                       true);
    command.blocks = ata::kStatisticsSmartLogPages;
    return command;
}

std::vector<BYTE> listedStatisticsPages(const std::vector<BYTE>& pageList) {
    // Byte 8 counts the entries; the page numbers follow it.
    const bool revised = pageList.size() >= 2 && (pageList[0] | pageList[1]) != 0;
    if (pageList.size() < std::size_t(kSectorSize) || !revised ||
        pageList[2] != ata::kStatisticsPageList)
        return {};
    const std::size_t entries = std::min<std::size_t>(pageList[8], kSectorSize - 9);
    std::vector<BYTE> wanted;
    for (const BYTE page : {ata::kStatisticsPageGeneral, ata::kStatisticsPageTemperature}) {
        const auto first = pageList.begin() + 9;
        if (std::find(first, first + std::ptrdiff_t(entries), page) !=
            first + std::ptrdiff_t(entries))
            wanted.push_back(page);
    }
    return wanted;
}

std::vector<BYTE> readStatisticsLog(HANDLE device, BYTE target, StatisticsRoute route) {
    std::vector<BYTE> data;
    switch (route) {
    case StatisticsRoute::None:
        return {};
    case StatisticsRoute::SmartReadLog:
        vorn::ata::sendAtaPassThrough(device, statisticsSmartReadLog(), target,
                                      QStringLiteral("CHdd::GetDeviceStatistics-SmartReadLog"),
                                      &data);
        return data;
    case StatisticsRoute::ReadLogExt:
        break;
    }
    // The list first: a drive without the log refuses it, and is asked no more.
    if (!vorn::ata::sendAtaPassThrough(device, statisticsReadLogExt(ata::kStatisticsPageList),
                                       target, readLogExtTrace(ata::kStatisticsPageList), &data))
        return {};
    const std::vector<BYTE> pages = listedStatisticsPages(data);
    std::vector<BYTE> log(std::size_t(kSectorSize) * (ata::kStatisticsPageTemperature + 1), 0);
    std::copy(data.begin(), data.end(), log.begin());
    for (const BYTE page : pages) {
        if (vorn::ata::sendAtaPassThrough(device, statisticsReadLogExt(page), target,
                                          readLogExtTrace(page), &data))
            std::copy(data.begin(), data.end(), log.begin() + std::ptrdiff_t(page) * kSectorSize);
    }
    return log;
}

} // namespace vorn::hdd
