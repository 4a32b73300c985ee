#include "DeviceStatisticsImage.h"

#include <QRegularExpression>

#include <algorithm>
#include <set>

namespace realworld {

namespace {

constexpr int kPageSize = 512;
constexpr int kLastStandardPage = 7;

constexpr std::uint64_t kSupported = std::uint64_t{1} << 63;
constexpr std::uint64_t kValid = std::uint64_t{1} << 62;
constexpr std::uint64_t kNormalized = std::uint64_t{1} << 61;
constexpr std::uint64_t kDsnSupported = std::uint64_t{1} << 60;
constexpr std::uint64_t kConditionMet = std::uint64_t{1} << 59;

void putQword(QByteArray* log, int at, std::uint64_t value) {
    for (int i = 0; i < 8; ++i)
        (*log)[at + i] = char(value >> (8 * i));
}

std::uint64_t entryQword(const StatisticEntry& e) {
    std::uint64_t q = kSupported;
    if (e.value) {
        q |= kValid;
        // A negative value (a temperature) is its two's complement in the
        // printed width.
        const int bits = std::min(e.size, 7) * 8;
        const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
        q |= static_cast<std::uint64_t>(*e.value) & mask;
    }
    if (e.normalized)
        q |= kNormalized;
    if (e.dsnSupported)
        q |= kDsnSupported;
    if (e.conditionMet)
        q |= kConditionMet;
    return q;
}

} // namespace

std::optional<std::int64_t> DeviceStatisticsTable::value(int page, int offset) const {
    for (const StatisticEntry& e : entries) {
        if (e.page == page && e.offset == offset)
            return e.value;
    }
    return std::nullopt;
}

std::optional<DeviceStatisticsTable> parseDeviceStatistics(const QStringList& lines,
                                                           QString* error) {
    int at = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1String("Device Statistics (GP"))) {
            at = i;
            break;
        }
    }
    if (at < 0)
        return std::nullopt;

    static const QRegularExpression heading(QStringLiteral(
        "^0x([0-9a-f]{2})\\s+=====\\s+=\\s+=\\s+===\\s+== .*\\(rev (\\d+)\\) ==\\s*$"));
    static const QRegularExpression row(QStringLiteral(
        "^0x([0-9a-f]{2})\\s+0x([0-9a-f]{3})\\s+(\\d)\\s+(-?\\d+|-)\\s+([-NDC+]{3,4})\\s+\\S.*$"));
    DeviceStatisticsTable table;
    for (int i = at + 2; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (!line.startsWith(QLatin1String("0x")))
            break;
        if (const QRegularExpressionMatch h = heading.match(line); h.hasMatch()) {
            table.pageRevisions.emplace_back(h.captured(1).toInt(nullptr, 16),
                                             h.captured(2).toInt());
            continue;
        }
        const QRegularExpressionMatch m = row.match(line);
        if (!m.hasMatch()) {
            *error = QStringLiteral("Device Statistics row not read: ") + line;
            return std::nullopt;
        }
        StatisticEntry e;
        e.page = m.captured(1).toInt(nullptr, 16);
        e.offset = m.captured(2).toInt(nullptr, 16);
        e.size = m.captured(3).toInt();
        if (m.captured(4) != QLatin1String("-"))
            e.value = m.captured(4).toLongLong();
        const QString flags = m.captured(5);
        e.normalized = flags.contains(QLatin1Char('N'));
        e.dsnSupported = flags.contains(QLatin1Char('D'));
        e.conditionMet = flags.contains(QLatin1Char('C'));
        if (e.offset % 8 != 0 || e.offset == 0 || e.offset >= kPageSize || e.size < 1) {
            *error = QStringLiteral("Device Statistics entry out of its page: ") + line;
            return std::nullopt;
        }
        table.entries.push_back(e);
    }
    return table;
}

QByteArray deviceStatisticsLog(const DeviceStatisticsTable& table) {
    std::set<int> pages;
    for (const auto& [page, revision] : table.pageRevisions) {
        if (page >= 1 && page <= kLastStandardPage)
            pages.insert(page);
    }
    for (const StatisticEntry& e : table.entries) {
        if (e.page >= 1 && e.page <= kLastStandardPage)
            pages.insert(e.page);
    }
    if (pages.empty())
        return {};
    const int last = *pages.rbegin();
    QByteArray log((last + 1) * kPageSize, '\0');

    // Page 0: its own header, the count, then the page numbers from 00h up.
    putQword(&log, 0, 0x0001);
    log[8] = char(pages.size() + 1);
    int k = 9;
    log[k++] = 0;
    for (int page : pages)
        log[k++] = char(page);

    for (int page : pages) {
        int revision = 1;
        for (const auto& [p, r] : table.pageRevisions) {
            if (p == page)
                revision = r;
        }
        // The header: revision in bits 0-15, the page number in 16-23.
        putQword(&log, page * kPageSize, std::uint64_t(revision) | std::uint64_t(page) << 16);
    }
    for (const StatisticEntry& e : table.entries) {
        if (pages.count(e.page))
            putQword(&log, e.page * kPageSize + e.offset, entryQword(e));
    }
    return log;
}

} // namespace realworld
