#pragma once

#include "CHdd.h"

#include <QString>

#include <cstdint>

// The checker's disk: a CHdd with what the checker keeps beside it, the
// baseline time, the power-on-hours unit and its measurement, and the drive
// names of the disk's volumes. Times are seconds since 1970-01-01 UTC.
class CDisk : public CHdd {
    VORN_DECLARE_DYNCREATE(CDisk)

public:
    CDisk();

    // Local time 1971-01-01 00:00:00: a baseline time that no file has
    // supplied and no write has set yet.
    static std::int64_t BaselineNotWritten();

    std::int64_t m_timeBaseline;
    int m_nPohUnit = -1;
    int m_nPohStart = 0;
    std::int64_t m_timePohStart = 0; // 0: no measurement started
    QString m_strDriveLetters;       // "C: E: "

    // What the system reports of the disk, kept so that every later read of
    // the identify data can fill in again what the disk itself leaves empty.
    QString m_strSystemModel;
    std::int64_t m_llSystemSize = 0; // bytes
};
