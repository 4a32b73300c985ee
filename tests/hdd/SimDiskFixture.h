#pragma once

#include "ErrorLog.h"
#include "WideText.h"

#include "../support/ScopedSimMachine.h"
#include "../support/TempDir.h"
#include "SectorBuilder.h"

#include <QDir>
#include <QStringList>
#include <gtest/gtest.h>

#include <vector>

// A simulated machine written into a scratch folder per test, with the
// request trace and the run log that the library writes into.
namespace simtest {

struct TraceLine {
    QString path;
    QString code;  // 8 upper-case hex digits
    QString input; // upper-case hex pairs, "-" when none
};

// A run of zero bytes as the trace writes them (two hex digits a byte).
inline QString zeros(int bytes) {
    return QString(bytes * 2, QLatin1Char('0'));
}

// A disk that answers identify, attributes and thresholds: a 500 GB Serial
// ATA disk with S.M.A.R.T. on, model text in device byte order.
inline SectorImage sataIdentify() {
    SectorImage image{};
    testimg::setDeviceText(image, 20, 20, "      9VMQ0ABC");
    testimg::setDeviceText(image, 46, 8, "CC38");
    testimg::setDeviceText(image, 54, 40, "ST3500418AS");
    testimg::setWord(image, 76, 0x0106);
    testimg::setWord(image, 80, 0x01F0);
    testimg::setWord(image, 82, 0x0001);
    testimg::setWord(image, 85, 0x0001);
    testimg::setWord(image, 88, 0x407F);
    testimg::setDword(image, 120, 0x0FFFFFFF);
    testimg::setQword(image, 200, 976773168);
    return image;
}

inline SectorImage sataAttributes() {
    SectorImage sector{};
    testimg::setAttribute(sector, 0, {1, 117, 99, 123456});
    testimg::setAttribute(sector, 1, {5, 100, 100, 0});
    testimg::setAttribute(sector, 2, {9, 95, 95, 4321});
    testimg::setAttribute(sector, 3, {12, 100, 100, 512});
    testimg::setAttribute(sector, 4, {194, 34, 45, 34});
    return sector;
}

inline SectorImage sataThresholds() {
    SectorImage sector{};
    const BYTE ids[] = {1, 5, 9, 12, 194};
    const BYTE values[] = {6, 36, 0, 20, 0};
    for (int k = 0; k < 5; ++k)
        testimg::setThreshold(sector, k, ids[k], values[k]);
    return sector;
}

class SimDiskTest : public ::testing::Test {
protected:
    void TearDown() override {
        Cm_CloseErrorFile();
        qunsetenv("VORN_SIM_TRACE");
    }

    void writeMachine(int platform) {
        m_dir.write(QStringLiteral("machine.ini"),
                    QStringLiteral("[Machine]\nPlatform=%1\nMajorVersion=%2\nMinorVersion=0\n")
                        .arg(platform)
                        .arg(platform == 1 ? 4 : 10)
                        .toUtf8());
    }

    // One disk folder; `device` is the [Device] section's body.
    void writeDisk(const QString& folder, const QString& drive, const QString& device,
                   bool withSectors = true) {
        QDir(m_dir.path()).mkpath(folder);
        m_dir.write(folder + QStringLiteral("/disk.ini"),
                    (QStringLiteral("[Drive]\n") + drive + QStringLiteral("\n[Device]\n") + device +
                     QLatin1Char('\n'))
                        .toUtf8());
        if (!withSectors)
            return;
        writeSector(folder + QStringLiteral("/identify.hex"), sataIdentify());
        writeSector(folder + QStringLiteral("/smart-data.hex"), sataAttributes());
        writeSector(folder + QStringLiteral("/smart-thresholds.hex"), sataThresholds());
    }

    void writeSector(const QString& name, const SectorImage& sector) {
        m_dir.write(name, testimg::hexFile(sector));
    }

    // Installs the machine and starts the trace and the log afresh.
    void start() {
        m_sim.install(m_dir.path());
        qputenv("VORN_SIM_TRACE", m_dir.path(QStringLiteral("trace.txt")).toLocal8Bit());
        ASSERT_TRUE(Cm_OpenErrorFile(Cm_WidePtr(m_dir.path(QStringLiteral("run.log"))), 0));
    }

    std::vector<TraceLine> trace() const {
        std::vector<TraceLine> lines;
        const QString text = QString::fromUtf8(m_dir.read(QStringLiteral("trace.txt")));
        for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList parts = line.split(QLatin1Char(' '));
            lines.push_back({parts.value(0), parts.value(1), parts.value(2)});
        }
        return lines;
    }

    // The log's lines without their time stamps. Error lines are not flushed
    // when written, so the log is closed for the read and reopened after.
    QStringList log() const {
        Cm_CloseErrorFile();
        QStringList lines;
        const QString text = QString::fromUtf8(m_dir.read(QStringLiteral("run.log")));
        for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            lines.append(line.mid(line.indexOf(QLatin1String("] ")) + 2));
        Cm_OpenErrorFile(Cm_WidePtr(m_dir.path(QStringLiteral("run.log"))), 1);
        return lines;
    }

    void clearTrace() { m_dir.write(QStringLiteral("trace.txt"), QByteArray()); }

    ScopedSimMachine m_sim;
    TestDir m_dir;
};

} // namespace simtest
