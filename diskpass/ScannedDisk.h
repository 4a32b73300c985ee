#pragma once

#include "CHdd.h"

#include <QString>

#include <cstdint>

namespace vorn::diskpass {

// How far the last pass got with a USB disk's S.M.A.R.T.
enum class UsbSmart {
    Read,          // read, or not a USB disk
    PassesNothing, // the bridge table says the bridge passes nothing
    UnknownSilent, // a bridge not in the table gave no answer to its one try
    TunnelSilent,  // an NVMe tunnel of the table did not answer as its chip does
    NoIdentify,    // the bridge passed commands, but no identify data came back
    NoHealthLog,   // an NVMe drive behind a tunnel gave its identity, not its health log
    Off,           // the drive answered, with S.M.A.R.T. off or not supported
};

// A disk as the disk scan leaves it: a CHdd with the drive names of its
// volumes and what the system reported of it. Each program derives its own
// CDisk from this class and adds what it keeps beside the disk.
class CScannedDisk : public CHdd {
    VORN_DECLARE_DYNCREATE(CScannedDisk)

public:
    CScannedDisk() = default;

    QString m_strDriveLetters; // "C: E: "

    // What the system reports of the disk, kept so that every later read of
    // the identify data can fill in again what the disk itself leaves empty.
    QString m_strSystemModel;
    std::int64_t m_llSystemSize = 0; // bytes

    // The power mode the last check found, before that pass read anything.
    vorn::hdd::PowerMode m_powerMode = vorn::hdd::PowerMode::Unknown;
    // The last pass left the disk unread because it slept: its values are
    // older than the pass.
    bool m_bSleeping = false;

    // A disk behind a USB bridge. Such a disk is listed after the fixed ones
    // and never raises an exit status or an alert: what a bridge passes on
    // is too uncertain to alarm anyone by.
    bool m_bUsb = false;
    QString m_strUsbBridge;        // "vvvv:pppp"; empty when sysfs named no bridge
    QString m_strSmartUnavailable; // one line; empty when S.M.A.R.T. was read
    UsbSmart m_usbSmart = UsbSmart::Read;
};

// Why S.M.A.R.T. of a USB disk was not read, in one line for the user
// ("USB変換アダプタ 1058:0701 はS.M.A.R.T.を通しません"); empty for a disk whose
// S.M.A.R.T. was read and for every disk not behind a bridge.
QString UsbSmartLine(const CScannedDisk& disk);

} // namespace vorn::diskpass
