#pragma once

#include "ByteOrder.h"
#include "WinTypes.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

// Hand-made Device Statistics logs (log 04h): whole 512-byte pages from page
// 00h, each field written the way a drive lays it out.
namespace testimg {

constexpr std::uint64_t kStatSupported = 1ull << 63;
constexpr std::uint64_t kStatValid = 1ull << 62;

struct StatisticsLog {
    std::vector<BYTE> bytes;

    explicit StatisticsLog(int pages) : bytes(std::size_t(pages) * 512, 0) {}

    // The header qword: revision in bits 0-15, the page number in 16-23.
    StatisticsLog& header(int page, std::uint16_t revision = 1, int number = -1) {
        return put(page, 0, revision | std::uint64_t(number < 0 ? page : number) << 16);
    }
    StatisticsLog& entry(int page, std::size_t offset, std::uint64_t value,
                         std::uint64_t flags = kStatSupported | kStatValid) {
        return put(page, offset, flags | value);
    }
    // Page 00h: the number of pages the drive keeps, then their numbers.
    StatisticsLog& list(std::initializer_list<BYTE> pages) {
        header(0);
        bytes[8] = BYTE(pages.size());
        std::copy(pages.begin(), pages.end(), bytes.begin() + 9);
        return *this;
    }
    // A drive's usual log: the list, power-on hours and resets, temperature.
    static StatisticsLog usual(std::uint64_t hours, std::uint64_t resets, int degrees) {
        StatisticsLog log(8);
        log.list({0x00, 0x01, 0x05}).header(1).entry(1, 8, resets).entry(1, 16, hours);
        log.header(5).entry(5, 8, BYTE(degrees));
        return log;
    }

private:
    StatisticsLog& put(int page, std::size_t offset, std::uint64_t value) {
        vorn::le::write64(bytes.data(), bytes.size(), std::size_t(page) * 512 + offset, value);
        return *this;
    }
};

} // namespace testimg
