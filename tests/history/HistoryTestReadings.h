#pragma once

#include "Reading.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <cmath>
#include <cstdint>

namespace vorn::history::test {

inline constexpr std::int64_t kMinute = 60 * 1000;
inline constexpr std::int64_t kHour = 60 * kMinute;
inline constexpr std::int64_t kDay = 24 * kHour;
inline constexpr std::int64_t kStart = 1704067200000; // 2024-01-01 00:00 UTC

// A disk that warms and cools over each day, ages an hour per hour and
// writes on every reading: what a busy desktop disk reports.
inline Reading BusyDiskAt(std::int64_t t, const QString& serial = QStringLiteral("S1")) {
    constexpr double kPi = 3.14159265358979323846;
    Reading reading;
    reading.disk = {QStringLiteral("TESTDISK 500"), serial, QStringLiteral("5000c500a1b2c3d4")};
    reading.timeMs = t;
    const double phase = 2 * kPi * double(((t % kDay) + kDay) % kDay) / double(kDay);
    reading.temperature = 37 + int(std::lround(7 * std::sin(phase)));
    reading.powerOnHours = int(t / kHour % 100000);
    reading.powerCycles = 812;
    reading.status = 0;
    const auto written = std::uint64_t(t / (2 * kMinute)) * 1000;
    reading.attributes = {{5, 100, 100, 0},
                          {9, 99, 99, std::uint64_t(reading.powerOnHours)},
                          {194, 100 - reading.temperature, 50, std::uint64_t(reading.temperature)},
                          {241, 100, 100, written & 0xffffffffffffULL}};
    return reading;
}

// The file's own bytes once every store on it is closed (the log is then
// folded in and removed).
inline qint64 StoreBytes(const QString& path) {
    return QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
}

// Asks the file directly, apart from the store.
inline QString AskFile(const QString& path, const QString& sql) {
    QString answer;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("ask"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(sql) && query.next())
                answer = query.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("ask"));
    return answer;
}

} // namespace vorn::history::test
