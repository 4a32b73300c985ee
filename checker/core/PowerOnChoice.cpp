#include "PowerOnChoice.h"

#include "CheckerDisk.h"
#include "PohUnit.h"
#include "SmartDecoder.h"

#include <algorithm>

namespace vorn::checker {

namespace {

using hdd::PowerOnUnit;
using hdd::RawFormat;

constexpr BYTE kPowerOnId = 9;
constexpr std::size_t kEntryBytes = 12;
constexpr std::size_t kRawOffset = 5;

std::uint64_t raw48(const hdd::AttributeBytes& entry) {
    return le::readUnsigned<std::uint64_t>(entry.data(), entry.size(), kRawOffset, 6);
}

// The formats that already turn their counter into hours.
bool countsInHours(RawFormat format) {
    switch (format) {
    case RawFormat::Sec2Hour:
    case RawFormat::Min2Hour:
    case RawFormat::Halfmin2Hour:
    case RawFormat::Msec24Hour32:
        return true;
    default:
        return false;
    }
}

std::uint64_t countsPerHour(PowerOnUnit unit) {
    switch (unit) {
    case PowerOnUnit::Minutes:
        return 60;
    case PowerOnUnit::HalfMinutes:
        return 120;
    case PowerOnUnit::Seconds:
        return 3600;
    case PowerOnUnit::Unknown:
    case PowerOnUnit::Hours:
    case PowerOnUnit::HoursMsec:
        break;
    }
    return 1;
}

bool knowledgeGivesUnit(const PowerOnFacts& facts) {
    return facts.knownUnit != PowerOnUnit::Unknown || countsInHours(facts.knownFormat);
}

std::int64_t clampedHours(std::uint64_t hours) {
    return static_cast<std::int64_t>(std::min<std::uint64_t>(hours, INT64_MAX));
}

// Hours from the drive knowledge: the database's format leads with hours
// for its time formats, else with the count in the stated unit (a counter
// in hours with milliseconds behind leads with the hours).
std::int64_t knownHours(const PowerOnFacts& facts) {
    const std::uint64_t lead = hdd::decodeRaw(facts.knownFormat, *facts.attribute9).value;
    if (countsInHours(facts.knownFormat))
        return clampedHours(lead);
    if (facts.knownUnit == PowerOnUnit::HoursMsec)
        return clampedHours(lead & 0xFFFFFFFFu);
    return clampedHours(lead / countsPerHour(facts.knownUnit));
}

} // namespace

const char* PowerOnSourceName(PowerOnSource source) {
    switch (source) {
    case PowerOnSource::DeviceStatistics:
        return "device_statistics";
    case PowerOnSource::Attribute9:
        return "attribute_9";
    case PowerOnSource::Attribute9Measured:
        return "attribute_9_measured";
    case PowerOnSource::Attribute9AssumedHours:
        return "attribute_9_assumed_hours";
    case PowerOnSource::NvmeHealth:
        return "nvme_health";
    case PowerOnSource::None:
        break;
    }
    return nullptr;
}

PowerOn ChoosePowerOn(const PowerOnFacts& facts) {
    if (facts.nvme) {
        if (facts.nvmeHours < 0)
            return {};
        return {facts.nvmeHours, PowerOnSource::NvmeHealth};
    }
    if (facts.statisticsHours >= 0)
        return {facts.statisticsHours, PowerOnSource::DeviceStatistics};
    if (!facts.attribute9)
        return {};
    if (knowledgeGivesUnit(facts))
        return {knownHours(facts), PowerOnSource::Attribute9};
    const std::uint64_t raw = raw48(*facts.attribute9);
    if (facts.measuredUnit != -1) {
        const int divisor = PohDivisor(facts.measuredUnit);
        return {clampedHours(raw / std::uint64_t(divisor)), PowerOnSource::Attribute9Measured};
    }
    return {clampedHours(raw), PowerOnSource::Attribute9AssumedHours};
}

PowerOnFacts PowerOnFactsOf(const CDisk& disk) {
    PowerOnFacts facts;
    facts.nvme = disk.IsNvme();
    facts.nvmeHours = facts.nvme ? disk.GetPowerOnHours() : -1;
    facts.statisticsHours = disk.m_DeviceStatistics.powerOnHours;
    facts.knownUnit = disk.m_Knowledge.powerOnUnit;
    if (const auto known = disk.m_Knowledge.attributes.find(kPowerOnId);
        known != disk.m_Knowledge.attributes.end())
        facts.knownFormat = known->second.format;
    facts.measuredUnit = disk.m_nPohUnit;
    const SectorImage& sector = disk.m_HddSmart.m_Attribute;
    for (int k = 0; k < smart::kEntryCount; ++k) {
        const std::size_t at = 2 + kEntryBytes * std::size_t(k);
        if (sector[at] != kPowerOnId)
            continue;
        hdd::AttributeBytes entry{};
        std::copy_n(sector.begin() + std::ptrdiff_t(at), kEntryBytes, entry.begin());
        facts.attribute9 = entry;
        break;
    }
    return facts;
}

PowerOn ChoosePowerOn(const CDisk& disk) {
    return ChoosePowerOn(PowerOnFactsOf(disk));
}

bool PowerOnUnitNeedsMeasuring(const CDisk& disk) {
    if (!disk.EnableSMART() || disk.IsNvme())
        return false;
    const PowerOnFacts facts = PowerOnFactsOf(disk);
    return facts.statisticsHours < 0 && !knowledgeGivesUnit(facts);
}

} // namespace vorn::checker
