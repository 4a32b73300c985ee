#include "CHdd.h"

#include "AtaCommandSet.h"
#include "AtaRequest.h"
#include "DeviceIo.h"
#include "DeviceStatisticsRead.h"
#include "ErrorLog.h"
#include "IdentifyDecoder.h"
#include "IoControlCodes.h"
#include "LastError.h"
#include "NvmeCommandSet.h"
#include "NvmeDecoder.h"
#include "OsVersion.h"
#include "WideText.h"

VORN_IMPLEMENT_DYNCREATE(CHdd, CObject)

// m_nDrive has no meaning before the first open; it starts at -1 rather
// than undefined so that reading it early is harmless.
CHdd::CHdd()
    : m_hHdd(INVALID_HANDLE_VALUE), m_nDrive(-1), m_nScsiPort(-1), m_nScsiTarget(-1),
      m_bScsi(FALSE), m_bNvme(FALSE) {}

CHdd::~CHdd() {
    CloseHddHandle();
}

BOOL CHdd::OpenHddHandle(int nDrive, int nScsiPort, int nScsiTarget) {
    // The programs reopen by the second path without closing the first; the
    // old descriptor would leak. Closed quietly: the log keeps the same
    // lines, plus an error line should the close fail.
    if (IsOpen() && !win::CloseHandle(m_hHdd))
        vorn::ata::logLastError();
    m_hHdd = INVALID_HANDLE_VALUE;
    m_nDrive = nDrive;
    m_nScsiPort = nScsiPort;
    m_nScsiTarget = nScsiTarget;
    m_bScsi = nScsiPort != -1;

    Cm_WriteErrorString(QStringLiteral("CHdd::OpenHddHandle-GetVersionEx"));
    win::OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!win::GetVersionExW(&version)) {
        vorn::ata::logLastError();
        return FALSE;
    }

    Cm_WriteErrorString(QStringLiteral("CHdd::OpenHddHandle-CreateFile"));
    using vorn::platform::DevicePath;
    using vorn::platform::DevicePathText;
    if (version.dwPlatformId == win::VER_PLATFORM_WIN32_WINDOWS) {
        m_hHdd = win::CreateFileW(Cm_WidePtr(DevicePathText({DevicePath::SmartDriver})), 0, 0,
                                  nullptr, win::CREATE_NEW, 0, nullptr);
    } else {
        const QString name =
            DevicePathText(m_bScsi ? DevicePath{DevicePath::ScsiAdapter, m_nScsiPort}
                                   : DevicePath{DevicePath::PhysicalDrive, m_nDrive});
        Cm_WriteErrorString(name);
        m_hHdd = win::CreateFileW(Cm_WidePtr(name), win::GENERIC_READ | win::GENERIC_WRITE,
                                  win::FILE_SHARE_READ | win::FILE_SHARE_WRITE, nullptr,
                                  win::OPEN_EXISTING, 0, nullptr);
    }
    if (!IsOpen()) {
        vorn::ata::logLastError();
        return FALSE;
    }
    // Asking sends nothing to the device, so an ATA disk's requests and
    // trace are those of any open.
    const auto nvme = vorn::platform::NvmeFactsOf(m_hHdd);
    m_bNvme = nvme.has_value();
    if (nvme)
        m_HddNvme.m_Facts = *nvme;
    return TRUE;
}

BOOL CHdd::CloseHddHandle() {
    Cm_WriteErrorString(QStringLiteral("CHdd::CloseHddHandle"));
    BOOL result = TRUE;
    if (IsOpen()) {
        result = win::CloseHandle(m_hHdd);
        if (!result)
            vorn::ata::logLastError();
    }
    m_hHdd = INVALID_HANDLE_VALUE;
    return result;
}

// --- Device methods -----------------------------------------------------------

vorn::hdd::PowerMode CHdd::CheckPowerMode() {
    if (!IsOpen())
        return vorn::hdd::PowerMode::Unknown;
    // An adapter handle and the 9x driver pick the disk by this number.
    const int target = m_bScsi ? (m_nScsiTarget & 0xFF) : (m_nDrive & 0xFF);
    vorn::hdd::PowerProbe probe;
    probe.runtimeSuspended = vorn::platform::IsRuntimeSuspended(m_hHdd, target);
    // An NVMe namespace takes no ATA command; only the kernel's state tells.
    if (!probe.runtimeSuspended && !m_bNvme) {
        std::vector<BYTE> buffer =
            vorn::ata::ataPassThroughRequest(vorn::platform::ata::kCheckPowerMode, 0, 0, 0);
        const DWORD length = vorn::ata::ataPassThroughLength(0);
        buffer[vorn::platform::layout::kAtaTargetId] = static_cast<BYTE>(target);
        DWORD returned = 0;
        probe.checkAnswered =
            win::DeviceIoControl(m_hHdd, win::IOCTL_ATA_PASS_THROUGH, buffer.data(), length,
                                 buffer.data(), length, &returned, nullptr);
        probe.sectorCount = buffer[vorn::platform::layout::kAtaCurrentSectorCount];
    }
    return vorn::hdd::DecidePowerMode(probe);
}

int CHdd::GetHddInfo() {
    if (!IsOpen())
        return 0;
    if (m_bNvme)
        return m_HddNvme.GetIdentify(m_hHdd);
    const BOOL result = m_bScsi ? m_HddInfo.GetHddInfoScsi(m_hHdd, m_nScsiTarget)
                                : m_HddInfo.GetHddInfo(m_hHdd, m_nDrive);
    // A device that already sent its texts in reading order came out
    // scrambled by the swap; only the makers known to do so are recognised.
    if (vorn::identify::modelNeedsSwapBack(m_HddInfo.m_Identify))
        m_HddInfo.SwapTextFields();
    // Looked up once per identify read, not per attribute read: the names
    // and formats depend on nothing else.
    m_Knowledge = vorn::hdd::lookupDriveKnowledge(GetModelNumber(), GetFirmwareRev());
    return result;
}

int CHdd::GetSmartVersion() {
    if (!IsOpen() || m_bNvme)
        return 0;
    return m_bScsi ? m_HddSmart.GetSmartVersionScsi(m_hHdd, m_nScsiTarget)
                   : m_HddSmart.GetSmartVersion(m_hHdd);
}

int CHdd::EnableSmart() {
    if (!IsOpen() || m_bNvme)
        return 0;
    return m_bScsi ? m_HddSmart.EnableSmartScsi(m_hHdd, m_nScsiTarget)
                   : m_HddSmart.EnableSmart(m_hHdd);
}

int CHdd::DisableSmart() {
    if (!IsOpen() || m_bNvme)
        return 0;
    return m_bScsi ? m_HddSmart.DisableSmartScsi(m_hHdd, m_nScsiTarget)
                   : m_HddSmart.DisableSmart(m_hHdd);
}

int CHdd::EnableSmartAutoSave() {
    if (!IsOpen() || m_bNvme)
        return 0;
    return m_bScsi ? m_HddSmart.EnableSmartAutoSaveScsi(m_hHdd, m_nScsiTarget)
                   : m_HddSmart.EnableSmartAutoSave(m_hHdd);
}

int CHdd::DisableSmartAutoSave() {
    if (!IsOpen() || m_bNvme)
        return 0;
    return m_bScsi ? m_HddSmart.DisableSmartAutoSaveScsi(m_hHdd, m_nScsiTarget)
                   : m_HddSmart.DisableSmartAutoSave(m_hHdd);
}

int CHdd::GetSmartStatus() {
    if (!IsOpen())
        return 0;
    // The verdict of an NVMe disk is in the health log it last sent.
    if (m_bNvme)
        return m_HddNvme.GetStatus();
    return m_bScsi ? m_HddSmart.GetSmartStatusScsi(m_hHdd, m_nScsiTarget)
                   : m_HddSmart.GetSmartStatus(m_hHdd);
}

int CHdd::GetSmartAttribute() {
    if (!IsOpen())
        return 0;
    if (m_bNvme)
        return m_HddNvme.GetHealthLog(m_hHdd);
    return m_bScsi ? m_HddSmart.GetSmartAttributeScsi(m_hHdd, m_nScsiTarget)
                   : m_HddSmart.GetSmartAttribute(m_hHdd, m_nDrive);
}

int CHdd::GetSmartThresholds() {
    if (!IsOpen() || m_bNvme)
        return 0;
    return m_bScsi ? m_HddSmart.GetSmartThresholdsScsi(m_hHdd, m_nScsiTarget)
                   : m_HddSmart.GetSmartThresholds(m_hHdd, m_nDrive);
}

int CHdd::GetDeviceStatistics() {
    if (!IsOpen())
        return 0;
    m_DeviceStatistics = vorn::hdd::DeviceStatistics{};
    if (m_bNvme)
        return 0;
    const auto route = vorn::hdd::statisticsRoute(m_HddInfo.m_Identify);
    // As for CHECK POWER MODE: an adapter and the 9x driver pick the disk by it.
    const int target = m_bScsi ? (m_nScsiTarget & 0xFF) : (m_nDrive & 0xFF);
    m_DeviceStatistics = vorn::hdd::decodeDeviceStatistics(
        vorn::hdd::readStatisticsLog(m_hHdd, static_cast<BYTE>(target), route));
    return m_DeviceStatistics.read;
}

BYTE CHdd::AtaTarget() const {
    // An adapter handle and the 9x driver pick the disk by this number.
    return static_cast<BYTE>(m_bScsi ? (m_nScsiTarget & 0xFF) : (m_nDrive & 0xFF));
}

vorn::hdd::SelfTestOutcome CHdd::SendSelfTest(BYTE ataRoutine, BYTE nvmeCode) {
    using vorn::hdd::SelfTestOutcome;
    if (!IsOpen())
        return SelfTestOutcome::Failed;
    if (m_bNvme) {
        Cm_WriteErrorString(QStringLiteral("CHddNvme::DeviceSelfTest-%1").arg(nvmeCode));
        const auto outcome = vorn::platform::SendNvmeAdminCommand(
            m_hHdd, vorn::platform::nvme::deviceSelfTest(nvmeCode), nullptr);
        if (outcome.succeeded())
            return SelfTestOutcome::Accepted;
        vorn::ata::logLastError();
        // The controller completed it with an error: a test runs already, or
        // there is none to abort.
        return outcome.transportError == 0
                   ? SelfTestOutcome::Refused
                   : vorn::hdd::selfTestOutcomeOfError(outcome.transportError);
    }
    std::vector<BYTE> none;
    if (vorn::ata::sendAtaPassThrough(
            m_hHdd, vorn::hdd::ataExecuteOffline(ataRoutine), AtaTarget(),
            QString::asprintf("CHdd::ExecuteOfflineImmediate-%02X", ataRoutine), &none))
        return SelfTestOutcome::Accepted;
    return vorn::hdd::selfTestOutcomeOfError(int(win::GetLastError()));
}

vorn::hdd::SelfTestOutcome CHdd::StartSelfTest(vorn::hdd::SelfTestKind kind) {
    if (!GetSelfTestCapabilities().offers(kind))
        return vorn::hdd::SelfTestOutcome::NotOffered;
    const BYTE nvmeCode = kind == vorn::hdd::SelfTestKind::Short
                              ? vorn::platform::nvme::kSelfTestShort
                              : vorn::platform::nvme::kSelfTestExtended;
    return SendSelfTest(vorn::hdd::ataRoutine(kind), nvmeCode);
}

vorn::hdd::SelfTestOutcome CHdd::AbortSelfTest() {
    return SendSelfTest(vorn::platform::ata::kSelfTestAbort, vorn::platform::nvme::kSelfTestAbort);
}

int CHdd::ReadSelfTestProgress() {
    if (!IsOpen())
        return 0;
    if (!m_bNvme)
        return GetSmartAttribute();
    std::vector<BYTE> log = vorn::hdd::readNvmeSelfTestLog(m_hHdd);
    if (log.empty())
        return 0;
    m_NvmeSelfTestLog = std::move(log);
    return TRUE;
}

int CHdd::GetDriveLogs() {
    if (!IsOpen())
        return 0;
    if (m_bNvme) {
        m_DriveLogs = vorn::hdd::readNvmeLogs(m_hHdd, m_HddNvme.m_IdentifyController.data(),
                                              m_HddNvme.m_IdentifyController.size());
    } else {
        // The extended logs come with the same identify bits as READ LOG EXT
        // of the statistics.
        const bool use48 = vorn::hdd::statisticsRoute(m_HddInfo.m_Identify) ==
                           vorn::hdd::StatisticsRoute::ReadLogExt;
        m_DriveLogs = vorn::hdd::readAtaLogs(m_hHdd, AtaTarget(), use48);
    }
    return m_DriveLogs.selfTestLogRead || m_DriveLogs.errorLogRead;
}

vorn::hdd::SelfTestCapabilities CHdd::GetSelfTestCapabilities() const {
    if (m_bNvme)
        return vorn::hdd::nvmeSelfTestCapabilities(m_HddNvme.m_IdentifyController.data(),
                                                   m_HddNvme.m_IdentifyController.size());
    return vorn::hdd::ataSelfTestCapabilities(m_HddSmart.m_Attribute.data(),
                                              m_HddSmart.m_Attribute.size());
}

vorn::hdd::SelfTestProgress CHdd::GetSelfTestProgress() const {
    if (m_bNvme)
        return vorn::hdd::nvmeSelfTestProgress(m_NvmeSelfTestLog.data(), m_NvmeSelfTestLog.size());
    return vorn::hdd::ataSelfTestProgress(
        m_HddSmart.m_Attribute[vorn::hdd::selftest::kExecutionStatus]);
}

// --- Data methods -------------------------------------------------------------

// The health log is part of every NVMe controller; there is nothing to
// switch on or off.
int CHdd::SupportSMART() const {
    return m_bNvme ? TRUE : m_HddInfo.SupportSMART();
}

int CHdd::EnableSMART() const {
    return m_bNvme ? TRUE : m_HddInfo.EnableSMART();
}

namespace {

QString NvmeOrPatched(const QString& nvme, const QString& patched) {
    return nvme.isEmpty() ? patched : nvme;
}

} // namespace

QString CHdd::GetSerialNumber() const {
    return m_bNvme ? NvmeOrPatched(m_HddNvme.GetSerialNumber(), m_HddInfo.GetSerialNumber())
                   : m_HddInfo.GetSerialNumber();
}

QString CHdd::GetFirmwareRev() const {
    return m_bNvme ? NvmeOrPatched(m_HddNvme.GetFirmwareRev(), m_HddInfo.GetFirmwareRev())
                   : m_HddInfo.GetFirmwareRev();
}

QString CHdd::GetManufacturer() const {
    if (!m_bNvme)
        return m_HddInfo.GetManufacturer();
    // The maker's word of the model, as for ATA disks.
    const QString model = GetModelNumber();
    const qsizetype blank = model.indexOf(QLatin1Char(' '));
    return blank > 0 ? model.left(blank) : QString();
}

QString CHdd::GetModelNumber() const {
    return m_bNvme ? NvmeOrPatched(m_HddNvme.GetModelNumber(), m_HddInfo.GetModelNumber())
                   : m_HddInfo.GetModelNumber();
}

long CHdd::GetBufferCapacity() const {
    return m_bNvme ? 0 : m_HddInfo.GetBufferCapacity();
}

// Controllers that report no total capacity are common, so an NVMe disk's
// size is its namespace's; the system's size (patched in by the scan) when
// the namespace gives none.
LONGLONG CHdd::GetDiskCapacity() const {
    if (!m_bNvme)
        return m_HddInfo.GetDiskCapacity();
    const LONGLONG bytes = m_HddNvme.GetCapacity();
    return bytes > 0 ? bytes : m_HddInfo.Get48LBACapacity();
}

LONGLONG CHdd::Get48LBACapacity() const {
    return m_bNvme ? GetDiskCapacity() : m_HddInfo.Get48LBACapacity();
}

LONGLONG CHdd::Get28LBACapacity() const {
    return m_HddInfo.Get28LBACapacity();
}

LONGLONG CHdd::GetChsCapacity() const {
    return m_HddInfo.GetChsCapacity();
}

double CHdd::Get48LBACapacityGB() const {
    return m_HddInfo.Get48LBACapacityGB();
}

double CHdd::Get28LBACapacityGB() const {
    return m_HddInfo.Get28LBACapacityGB();
}

double CHdd::GetChsCapacityGB() const {
    return m_HddInfo.GetChsCapacityGB();
}

QString CHdd::GetMajorVersion() const {
    return m_bNvme ? m_HddNvme.GetVersion() : m_HddInfo.GetMajorVersion();
}

QString CHdd::GetInterface() const {
    return m_bNvme ? QStringLiteral("NVM Express") : m_HddInfo.GetInterface();
}

QString CHdd::GetTransferMode(int nCurrent) const {
    return m_bNvme ? m_HddNvme.GetTransferMode(nCurrent) : m_HddInfo.GetTransferMode(nCurrent);
}

LONGLONG CHdd::GetLogicalSectorSize() const {
    if (!m_bNvme)
        return vorn::identify::logicalSectorSize(m_HddInfo.m_Identify);
    const LONGLONG size = vorn::nvme::namespaceBlockSize(m_HddNvme.m_IdentifyNamespace.data(),
                                                         m_HddNvme.m_IdentifyNamespace.size());
    return size > 0 ? size : 512;
}

int CHdd::GetStatus() const {
    return m_bNvme ? m_HddNvme.GetStatus() : m_HddSmart.GetStatus();
}

std::vector<BYTE> CHdd::GetFailingAttributes() const {
    return m_bNvme ? std::vector<BYTE>() : m_HddSmart.GetFailingAttributes();
}

vorn::hdd::TemperatureChoice CHdd::AtaTemperature() const {
    return vorn::hdd::chooseTemperature(m_HddSmart.m_Attribute, m_Knowledge, m_DeviceStatistics);
}

int CHdd::GetTemperature() const {
    return m_bNvme ? m_HddNvme.GetTemperature() : AtaTemperature().degrees;
}

QString CHdd::GetTemperatureSource() const {
    if (!m_bNvme)
        return AtaTemperature().sourceName();
    return m_HddNvme.GetTemperature() >= 1 ? QStringLiteral("nvme_health") : QString();
}

// The health log counts whole hours.
int CHdd::GetPowerOnHours() const {
    return m_bNvme ? m_HddNvme.GetPowerOnHours() : m_HddSmart.GetPowerOnHours();
}

long long CHdd::GetPowerCycle() const {
    return m_bNvme ? m_HddNvme.GetPowerCycle() : m_HddSmart.GetPowerCycle();
}

// An NVMe disk has no attribute records: its list rows are the health log's
// fields, made by the checker from the log itself.
void CHdd::GetDisplayAttribute() {
    if (!m_bNvme)
        m_HddSmart.GetDisplayAttribute(m_Knowledge);
}

void CHdd::DeleteDisplayAttribute() {
    m_HddSmart.DeleteDisplayAttribute();
}
