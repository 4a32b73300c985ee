#include "DiskScan.h"

#include "BridgeTransport.h"
#include "DeviceIo.h"

#include "ErrorLog.h"
#include "IdentifyDecoder.h"
#include "IdentifyLayout.h"
#include "LastError.h"
#include "SectorImage.h"
#include "TextConvert.h"
#include "WideText.h"
#include "WmiPaths.h"
#include "WmiQueries.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vorn::diskpass {

namespace {

namespace identify = vorn::identify;
constexpr std::size_t kModelLength = identify::kModelLength;
constexpr std::size_t kLba48Offset = identify::byteOfWord(identify::kWordLba48Sectors);

struct FreeBlock {
    void operator()(void* block) const { std::free(block); }
};

bool FieldEquals(const char16_t* field, const char* text) {
    return Cm_FromWide(field) == QLatin1String(text);
}

// Whether a second attempt a second later may end otherwise than a first
// that failed with this error. No right to the device, no such device and no
// such file stay as they are; a busy or not-ready device may not, and an
// error not known (0) is taken as one that may pass.
bool RetryMayHelp(DWORD error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return false;
    default:
        return true;
    }
}

// Asks the power mode of an open disk; true when check wants it left alone.
bool Sleeps(CScannedDisk* disk, PowerCheck check) {
    if (check == PowerCheck::Off)
        return false;
    disk->m_powerMode = disk->CheckPowerMode();
    return check == PowerCheck::SkipSleeping && !vorn::hdd::ReadsInPeriodicPass(disk->m_powerMode);
}

// One attempt by the path rules of the switches and the drive's kind. The
// power check comes before the identify request that proves a path, so a
// sleeping disk is found without being woken; *asleep says it was.
// *retryMayHelp is set when some path failed in a way that a wait may change.
bool OpenAttempt(CScannedDisk* disk, const CmDiskDriveRecord& drive, const PassOptions& options,
                 PowerCheck check, bool* asleep, bool* retryMayHelp) {
    const int n = drive.Index;
    const int port = drive.SCSIPort;
    const int target = drive.SCSITargetId;
    *asleep = false;
    const auto noted = [&](bool ok) {
        if (!ok && RetryMayHelp(win::GetLastError()))
            *retryMayHelp = true;
        return ok;
    };
    // An error left by an earlier disk must not decide for this one.
    win::SetLastError(0);
    if (options.m_bOptAta || options.m_bOptScsi) {
        const bool opened = noted(options.m_bOptAta ? disk->OpenHddHandle(n, -1, -1)
                                                    : disk->OpenHddHandle(n, port, target));
        if (opened)
            *asleep = Sleeps(disk, check);
        return opened;
    }
    const auto tryPath = [&](int p, int t) {
        win::SetLastError(0);
        if (!noted(disk->OpenHddHandle(n, p, t)))
            return false;
        *asleep = Sleeps(disk, check);
        if (*asleep)
            return true;
        win::SetLastError(0);
        return noted(disk->GetHddInfo() != 0);
    };
    const bool ide = FieldEquals(drive.InterfaceType, "IDE") &&
                     Cm_FromWide(drive.PNPDeviceID).startsWith(QLatin1String("IDE"));
    if (ide)
        return tryPath(-1, -1) || tryPath(port, target);
    return tryPath(port, target) || tryPath(-1, -1);
}

void SetSmartEnabledBit(CHdd* disk, bool enabled) {
    SectorImage& image = disk->m_HddInfo.m_Identify;
    WORD word = vorn::hdd::identifyWord(image, identify::kWordSmartEnabled);
    word = enabled ? static_cast<WORD>(word | 1) : static_cast<WORD>(word & ~1);
    vorn::le::write16(image.data(), image.size(), identify::byteOfWord(identify::kWordSmartEnabled),
                      word);
}

// The bit is what the rest of the program reads as "S.M.A.R.T. on", so it
// is set or cleared here instead of reading the identify data again. A
// command is sent only where the state has to change.
void ForceSmartState(CHdd* disk, const PassOptions& options) {
    if (disk->GetSmartStatus() == -1) {
        if (options.m_bOptEnable && disk->EnableSmart())
            SetSmartEnabledBit(disk, true);
        if (options.m_bOptDisable)
            SetSmartEnabledBit(disk, false);
    } else {
        if (options.m_bOptEnable)
            SetSmartEnabledBit(disk, true);
        if (options.m_bOptDisable && disk->DisableSmart())
            SetSmartEnabledBit(disk, false);
    }
}

void ReadSmartData(CHdd* disk) {
    disk->GetSmartAttribute();
    disk->GetSmartThresholds();
    disk->GetDisplayAttribute();
    disk->GetSmartStatus();
    // Only a disk the pass reads anyway gets here: a sleeping one was left
    // before its first read.
    disk->GetDeviceStatistics();
}

void StoreSystemSize(CScannedDisk* disk) {
    const std::int64_t sizeBytes = disk->m_llSystemSize;
    SectorImage& image = disk->m_HddInfo.m_Identify;
    if (vorn::le::read64(image.data(), image.size(), kLba48Offset) != 0)
        return;
    // Counted in the drive's own sectors, so that the capacity read back from
    // the count is the system's size on a disk with 4096-byte sectors too.
    const ULONGLONG sectors =
        static_cast<ULONGLONG>(sizeBytes / vorn::identify::logicalSectorSize(image));
    vorn::le::write32(image.data(), image.size(), kLba48Offset, static_cast<DWORD>(sectors));
    vorn::le::write32(image.data(), image.size(), kLba48Offset + 4,
                      static_cast<DWORD>(sectors >> 32));
}

void StoreSystemModelIfNone(CScannedDisk* disk) {
    if (disk->GetModelNumber().isEmpty())
        StoreSystemModel(disk, disk->m_strSystemModel);
}

bool IsUsbDrive(const CmDiskDriveRecord& drive) {
    return FieldEquals(drive.InterfaceType, "USB");
}

UsbSmart UsbSmartOf(vorn::platform::usb::UnavailableCause cause) {
    using Cause = vorn::platform::usb::UnavailableCause;
    switch (cause) {
    case Cause::PassesNothing:
        return UsbSmart::PassesNothing;
    case Cause::UnknownSilent:
        return UsbSmart::UnknownSilent;
    case Cause::TunnelSilent:
        return UsbSmart::TunnelSilent;
    case Cause::NoIdentify:
        return UsbSmart::NoIdentify;
    case Cause::None:
        break;
    }
    return UsbSmart::Read;
}

// A bridge that passes no identify data with a serial may still keep the
// unit serial number, which names the disk for its baseline file.
void StoreUnitSerialIfNone(CScannedDisk* disk) {
    if (!disk->GetSerialNumber().isEmpty() || disk->IsNvme())
        return;
    const QByteArray serial = vorn::platform::UnitSerialNumberOf(disk->m_hHdd).toLatin1();
    if (serial.isEmpty())
        return;
    BYTE* field = disk->m_HddInfo.m_Identify.data() + identify::kSerialOffset;
    std::memset(field, 0, identify::kSerialLength);
    std::memcpy(field, serial.constData(),
                std::min<std::size_t>(std::size_t(serial.size()), identify::kSerialLength));
}

// A disk behind a USB bridge gets one open of its own path and, where the
// bridge table lets anything through, the usual reads. One that passes
// nothing is still listed, with what the system knows of it and the reason.
// A USB drive the device layer finds no bridge above (a card reader on
// another driver, a simulated disk without one) is never opened.
bool ReadUsbDrive(CScannedDisk* disk, const CmDiskDriveRecord& drive) {
    namespace usb = vorn::platform::usb;
    const std::optional<vorn::platform::UsbDiskFacts> facts =
        vorn::platform::UsbFactsOfDrive(drive.Index);
    if (!facts)
        return false;
    disk->m_bUsb = true;
    disk->m_usbSmart = UsbSmart::Read;
    disk->m_strSmartUnavailable.clear();
    win::SetLastError(0);
    if (!disk->OpenHddHandle(drive.Index, -1, -1))
        return false;
    disk->m_strUsbBridge =
        usb::bridgeIdText(usb::BridgeId{facts->vendor, facts->product, facts->release});
    bool identified = false;
    if (!usb::bridgePassesNothing(*facts)) {
        disk->GetSmartVersion();
        identified = disk->GetHddInfo() != 0;
        if (identified && disk->EnableSMART())
            ReadSmartData(disk);
    }
    if (!identified) {
        disk->m_usbSmart = UsbSmartOf(usb::smartUnavailableCause(*facts, true));
        disk->m_strSmartUnavailable = usb::smartUnavailableReason(*facts, true);
    } else if (disk->IsNvme() && !disk->m_HddNvme.m_bHealthLog) {
        disk->m_usbSmart = UsbSmart::NoHealthLog;
        disk->m_strSmartUnavailable =
            QStringLiteral("USB bridge %1 passed the identify data but no NVMe health log")
                .arg(disk->m_strUsbBridge);
    } else if (!disk->EnableSMART()) {
        disk->m_usbSmart = UsbSmart::Off;
        disk->m_strSmartUnavailable = QStringLiteral("S.M.A.R.T. is off or not supported");
    }
    StoreUnitSerialIfNone(disk);
    StoreSystemSize(disk);
    disk->CloseHddHandle();
    StoreSystemModelIfNone(disk);
    return true;
}

} // namespace

QString RunLogPath(const QString& startDir) {
    QString path = startDir;
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + QStringLiteral("DrivewatchMini.log");
}

void StoreSystemModel(CHdd* disk, const QString& model) {
    const std::unique_ptr<char[]> bytes(Cm_FromUnicode(Cm_WidePtr(model)));
    if (!bytes)
        return;
    std::size_t length = std::strlen(bytes.get());
    if (length > kModelLength) {
        length = kModelLength;
        // Never leave half a character at the end of the field.
        while (length > 0 && (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80)
            --length;
    }
    BYTE* field = disk->m_HddInfo.m_Identify.data() + identify::kModelOffset;
    std::memset(field, 0, kModelLength);
    std::memcpy(field, bytes.get(), length);
}

bool ReadDiskDrive(CScannedDisk* disk, const CmDiskDriveRecord& drive, const PassOptions& options,
                   const PassSleeper& sleep, PowerCheck check) {
    disk->m_strSystemModel = Cm_FromWide(drive.Model);
    disk->m_llSystemSize = drive.Size;
    if (IsUsbDrive(drive))
        return ReadUsbDrive(disk, drive);
    bool asleep = false;
    bool retryMayHelp = false;
    bool opened = OpenAttempt(disk, drive, options, check, &asleep, &retryMayHelp);
    if (!opened) {
        // The second attempt is made either way, so the requests a disk
        // sees stay the same; only the wait is left out where it is useless.
        if (retryMayHelp)
            sleep(1000);
        opened = OpenAttempt(disk, drive, options, check, &asleep, &retryMayHelp);
    }
    if (!opened)
        return false;
    disk->m_bSleeping = asleep;
    if (asleep) {
        disk->CloseHddHandle();
        StoreSystemSize(disk);
        StoreSystemModelIfNone(disk);
        return true;
    }

    disk->GetSmartVersion();
    disk->GetHddInfo();
    if (options.m_bOptEnable || options.m_bOptDisable)
        ForceSmartState(disk, options);
    if (disk->EnableSMART())
        ReadSmartData(disk);
    // An NVMe namespace may give no size; the system's stands in.
    if (!disk->EnableSMART() || disk->IsNvme())
        StoreSystemSize(disk);
    disk->CloseHddHandle();
    StoreSystemModelIfNone(disk);
    return true;
}

void AttachDriveName(const std::function<CScannedDisk*(int nDrive)>& findDrive,
                     const CmLogicalDiskPartitionRecord& partition) {
    const int number = Cm_GetPartitionDiskNumber(partition.Antecedent);
    if (number < 0)
        return;
    CScannedDisk* disk = findDrive(number);
    if (!disk)
        return;
    disk->m_strDriveLetters += Cm_GetVolumeDriveName(partition.Dependent) + QLatin1Char(' ');
}

bool ForEachScannedDrive(const PassOptions& options, const QString& logPath,
                         const std::function<void(const CmDiskDriveRecord&)>& readDrive) {
    const std::unique_ptr<CmDiskDriveBlock, FreeBlock> drives(
        Cm_GetDiskDriveInfo(options.m_nOptInit));
    if (!drives)
        return false;
    if (!logPath.isEmpty())
        Cm_OpenErrorFile(Cm_WidePtr(logPath), 0);
    // USB disks come after the fixed ones, so that plugging one in never
    // moves a fixed disk's place in the list.
    std::vector<const CmDiskDriveRecord*> usbDrives;
    for (const CmDiskDriveRecord& drive : *drives) {
        if (drive.MediaType[0] == 0)
            continue;
        if (IsUsbDrive(drive))
            usbDrives.push_back(&drive);
        else
            readDrive(drive);
    }
    for (const CmDiskDriveRecord* drive : usbDrives)
        readDrive(*drive);
    if (!logPath.isEmpty())
        Cm_CloseErrorFile();
    return true;
}

void AttachDriveNames(BYTE nInit, const std::function<CScannedDisk*(int nDrive)>& findDrive) {
    const std::unique_ptr<CmLogicalDiskPartitionBlock, FreeBlock> partitions(
        Cm_GetLogicalDiskPartitionInfo(nInit));
    if (!partitions)
        return;
    for (const CmLogicalDiskPartitionRecord& partition : *partitions)
        AttachDriveName(findDrive, partition);
}

bool LeaveIfAsleep(CScannedDisk* disk, PowerCheck check) {
    disk->m_bSleeping = Sleeps(disk, check);
    if (disk->m_bSleeping)
        disk->CloseHddHandle();
    return disk->m_bSleeping;
}

BOOL ReopenDisk(CHdd* disk) {
    if (disk->m_bScsi)
        return disk->OpenHddHandle(disk->m_nDrive, disk->m_nScsiPort, disk->m_nScsiTarget);
    return disk->OpenHddHandle(disk->m_nDrive, -1, -1);
}

void RereadDisk(CScannedDisk* disk, const std::function<void()>& whileOpen) {
    // A fresh identify image drops what the scan filled in from the
    // system, so a disk that gives no model or size would lose them.
    disk->GetHddInfo();
    if (disk->EnableSMART()) {
        ReadSmartData(disk);
        if (whileOpen)
            whileOpen();
    }
    if (!disk->EnableSMART() || disk->IsNvme())
        StoreSystemSize(disk);
    disk->CloseHddHandle();
    StoreSystemModelIfNone(disk);
}

} // namespace vorn::diskpass
