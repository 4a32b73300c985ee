#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Takes a fuzzer's bytes apart front to back; what runs out reads as zero.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_data(reinterpret_cast<const char*>(data)), m_size(size) {}

    std::uint8_t byte() { return m_at < m_size ? static_cast<std::uint8_t>(m_data[m_at++]) : 0; }

    // The next n bytes (fewer at the end).
    QByteArray take(std::size_t n) {
        const std::size_t count = n < m_size - m_at ? n : m_size - m_at;
        QByteArray bytes(m_data + m_at, static_cast<qsizetype>(count));
        m_at += count;
        return bytes;
    }

    QByteArray rest() { return take(m_size - m_at); }

private:
    const char* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// A property that must hold for every input: a crash the fuzzer reports.
#define FUZZ_REQUIRE(condition)                                                                    \
    do {                                                                                           \
        if (!(condition))                                                                          \
            std::abort();                                                                          \
    } while (0)
