#include "SimDevice.h"

#include "SimBridge.h"

#include "AtaCommandSet.h"
#include "BridgeTransport.h"
#include "ByteOrder.h"
#include "IdentifyLayout.h"
#include "NvmeCommandSet.h"
#include "SafeFile.h"
#include "UniqueFd.h"
#include "UsbSysfs.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <mutex>
#include <optional>
#include <unistd.h>
#include <vector>

namespace vorn::platform {

namespace {

// Word 85 bit 0, S.M.A.R.T. enabled, is in the word's low byte.
constexpr std::size_t kSmartEnabledByte = identify::byteOfWord(identify::kWordSmartEnabled);
constexpr std::size_t kIntegritySignatureByte = identify::byteOfWord(identify::kWordIntegrity);

std::mutex& clockMutex() {
    static std::mutex mutex;
    return mutex;
}

SimClock& clockSlot() {
    static SimClock clock;
    return clock;
}

std::chrono::steady_clock::time_point simNow() {
    std::lock_guard<std::mutex> lock(clockMutex());
    return clockSlot() ? clockSlot()() : std::chrono::steady_clock::now();
}

AtaOutcome transportFailure(int error) {
    AtaOutcome outcome;
    outcome.transportError = error;
    return outcome;
}

AtaOutcome completed(const AtaRegisters& request) {
    AtaOutcome outcome;
    outcome.returned = request;
    outcome.returned.feature = 0;
    outcome.returned.command = kAtaStatusReady;
    return outcome;
}

AtaOutcome aborted(const AtaRegisters& request) {
    AtaOutcome outcome;
    outcome.returned = request;
    outcome.returned.feature = kAtaErrorAbort;
    outcome.returned.command = kAtaStatusReady | kAtaStatusErr;
    return outcome;
}

// The run-time state of the simulated disks, shared by all their handles.
class SimDisks {
public:
    explicit SimDisks(std::shared_ptr<const SimMachine> machine)
        : m_machine(std::move(machine)), m_start(simNow()) {
        for (const SimDisk& disk : m_machine->disks) {
            State state;
            state.identify = disk.identify;
            state.powerMode = disk.device.powerMode;
            state.smartEnabled = disk.identify.size() != kSectorSize ||
                                 (static_cast<BYTE>(disk.identify[kSmartEnabledByte]) & 0x01);
            initSelfTest(disk, state);
            m_states.push_back(state);
            m_numbers.push_back({disk.index(), disk.scsiPort(), disk.scsiTargetId()});
        }
    }

    // The record's numbers of each disk, read from its text once: every
    // request looks its disk up by them.
    struct Numbers {
        int index = 0;
        int scsiPort = 0;
        int scsiTargetId = 0;
    };

    const SimMachine& machine() const { return *m_machine; }
    const std::vector<Numbers>& numbers() const { return m_numbers; }

    // *wokeUp tells whether the command spun up a disk in standby.
    AtaOutcome execute(std::size_t diskNumber, const AtaCommand& command, BYTE* data,
                       bool* wokeUp) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const SimDisk& disk = m_machine->disks[diskNumber];
        State& state = m_states[diskNumber];
        const AtaRegisters& r = command.registers;
        *wokeUp = false;
        // An NVMe namespace node has no ATA pass-through at all.
        if (disk.device.nvme)
            return transportFailure(ENOTTY);
        if (r.command == ata::kCheckPowerMode)
            return checkPowerMode(disk, state, command);
        // Whatever else reaches the disk needs the platters turning.
        *wokeUp = state.powerMode == SimPowerMode::Standby;
        state.powerMode = SimPowerMode::Active;
        if (r.command == ata::kIdentifyDevice) {
            if (!command.dataIn)
                return transportFailure(EINVAL);
            return sendSector(disk.device.fails(SimRequest::Identify), state.identify, command,
                              data);
        }
        if (r.command == ata::kReadLogExt) {
            advanceSelfTest(disk, state);
            return readLogExt(disk, state, command, data);
        }
        if (r.command != ata::kSmart || r.lbaMid != ata::kSmartLbaMid ||
            r.lbaHigh != ata::kSmartLbaHigh)
            return aborted(r);
        switch (r.feature) {
        case ata::kSmartReadData: {
            if (!state.smartEnabled)
                return aborted(r);
            advanceSelfTest(disk, state);
            return sendSector(disk.device.fails(SimRequest::SmartData), smartDataNow(disk, state),
                              command, data);
        }
        case ata::kSmartExecuteOffline:
            if (command.dataIn)
                return transportFailure(EINVAL);
            if (!state.smartEnabled)
                return aborted(r);
            advanceSelfTest(disk, state);
            return executeOffline(disk, state, r) ? completed(r) : aborted(r);
        case ata::kSmartReadThresholds:
            if (!state.smartEnabled)
                return aborted(r);
            return sendSector(disk.device.fails(SimRequest::SmartThresholds), disk.smartThresholds,
                              command, data);
        case ata::kSmartEnableOperations:
        case ata::kSmartDisableOperations: {
            if (command.dataIn)
                return transportFailure(EINVAL);
            const bool enable = r.feature == ata::kSmartEnableOperations;
            if (disk.device.fails(enable ? SimRequest::Enable : SimRequest::Disable))
                return transportFailure(EIO);
            setSmartEnabled(state, enable);
            return completed(r);
        }
        case ata::kSmartAttributeAutosave:
            if (command.dataIn)
                return transportFailure(EINVAL);
            if (disk.device.fails(SimRequest::AutoSave))
                return transportFailure(EIO);
            return state.smartEnabled ? completed(r) : aborted(r);
        case ata::kSmartReturnStatus:
            return returnStatus(disk, state, command);
        case ata::kSmartReadLog:
            if (!state.smartEnabled)
                return aborted(r);
            advanceSelfTest(disk, state);
            return sendLogPages(disk, state, command, r.lbaLow, 0, r.sectorCount, data);
        default:
            return aborted(r);
        }
    }

    NvmeOutcome executeNvme(std::size_t diskNumber, const NvmeAdminCommand& command, BYTE* data) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const SimDisk& disk = m_machine->disks[diskNumber];
        NvmeOutcome outcome;
        if (!disk.device.nvme) {
            outcome.transportError = ENOTTY;
            return outcome;
        }
        State& state = m_states[diskNumber];
        advanceSelfTest(disk, state);
        if (command.opcode == nvme::kDeviceSelfTest) {
            outcome.status = nvmeSelfTest(disk, state, command);
            return outcome;
        }
        const QByteArray* image = nullptr;
        QByteArray health;
        if (command.opcode == nvme::kIdentify && command.cdw10 == nvme::kCnsController) {
            image = &disk.nvmeIdentifyController;
        } else if (command.opcode == nvme::kIdentify) {
            if (command.nsid != disk.device.nvmeNamespace) {
                outcome.status = kNvmeInvalidNamespace;
                return outcome;
            }
            image = &disk.nvmeIdentifyNamespace;
        } else if ((command.cdw10 & 0xFF) == nvme::kLogHealth) {
            health = disk.nvmeHealth;
            addToNvmePowerOnHours(&health, poweredOnGrowth(disk));
            image = &health;
        } else if ((command.cdw10 & 0xFF) == nvme::kLogSelfTest && !state.log06.isEmpty()) {
            refreshNvmeProgress(disk, state);
            image = &state.log06;
        } else if ((command.cdw10 & 0xFF) == nvme::kLogErrorInformation &&
                   !disk.nvmeErrorLog.isEmpty()) {
            image = &disk.nvmeErrorLog;
        } else {
            outcome.status = kNvmeInvalidLogPage;
            return outcome;
        }
        if (image->isEmpty()) {
            outcome.transportError = EIO;
            return outcome;
        }
        const auto length = std::min<qsizetype>(command.dataLength, image->size());
        std::memset(data, 0, command.dataLength);
        std::memcpy(data, image->constData(), static_cast<std::size_t>(length));
        return outcome;
    }

private:
    static constexpr WORD kNvmeInvalidLogPage = 0x109;  // command specific
    static constexpr WORD kNvmeInvalidNamespace = 0x0B; // generic

    static constexpr WORD kNvmeInvalidOpcode = 0x01;       // generic
    static constexpr WORD kNvmeSelfTestInProgress = 0x11D; // command specific

    struct State {
        QByteArray identify;
        bool smartEnabled = true;
        SimPowerMode powerMode = SimPowerMode::Active;
        // The self-test: the running routine (ATA 1-3, NVMe 1-2; 0 none),
        // when it began and how long it takes.
        int selfTest = 0;
        std::chrono::steady_clock::time_point selfTestStart;
        long long selfTestSeconds = 0;
        BYTE executionStatus = 0; // SMART READ DATA byte 363 once a test ended
        // The self-test logs as they grow: ATA 06h and 07h, or NVMe 06h.
        QByteArray log06;
        QByteArray log07;
    };

    // --- The self-test state machine -----------------------------------

    static constexpr std::size_t kExecutionStatusByte = 363;
    static constexpr std::size_t kCapabilityByte = 367;
    static constexpr double kFailAt = 0.6; // the share of the test done when it fails

    static void initSelfTest(const SimDisk& disk, State& state) {
        if (disk.device.nvme) {
            const bool offered =
                le::read16(reinterpret_cast<const BYTE*>(disk.nvmeIdentifyController.constData()),
                           std::size_t(disk.nvmeIdentifyController.size()), 256) &
                (1u << 4);
            state.log06 = disk.nvmeSelfTestLog;
            if (state.log06.isEmpty() && offered) {
                state.log06 = QByteArray(kSimNvmeSelfTestLogSize, '\0');
                for (int i = 0; i < 20; ++i)
                    state.log06[4 + 28 * i] = char(0x0F); // entry not used
            }
            return;
        }
        if (disk.smartData.size() == kSectorSize)
            state.executionStatus = BYTE(disk.smartData[kExecutionStatusByte]);
        state.log06 = disk.selfTestLog;
        state.log07 = disk.extSelfTestLog;
        if (state.log06.isEmpty() && (ataCapability(disk) & 0x10)) {
            state.log06 = QByteArray(kSectorSize, '\0');
            state.log06[0] = 1; // revision
            setSectorChecksum(&state.log06);
        }
    }

    static BYTE ataCapability(const SimDisk& disk) {
        return disk.smartData.size() == kSectorSize ? BYTE(disk.smartData[kCapabilityByte]) : 0;
    }

    // Minutes from the polling-time bytes, 16-bit extended time included.
    static long long ataMinutes(const SimDisk& disk, int routine) {
        if (disk.smartData.size() != kSectorSize)
            return 0;
        const BYTE* d = reinterpret_cast<const BYTE*>(disk.smartData.constData());
        switch (routine) {
        case 1:
            return d[372];
        case 2:
            return d[373] == 0xFF ? le::read16(d, kSectorSize, 375) : d[373];
        default:
            return d[374];
        }
    }

    double selfTestShare(const State& state) const {
        if (state.selfTestSeconds <= 0)
            return 1.0;
        const auto elapsed = std::chrono::duration<double>(simNow() - state.selfTestStart).count();
        return std::max(0.0, elapsed / double(state.selfTestSeconds));
    }

    // Ends the running test when its time has come.
    void advanceSelfTest(const SimDisk& disk, State& state) {
        if (!state.selfTest)
            return;
        const double share = selfTestShare(state);
        switch (disk.device.selfTestEnd) {
        case SimSelfTestEnd::Stuck:
            return;
        case SimSelfTestEnd::Fail:
            if (share >= kFailAt)
                endSelfTest(disk, state, 7, 1.0 - kFailAt, disk.device.selfTestFailLba);
            return;
        case SimSelfTestEnd::Pass:
            if (share >= 1.0)
                endSelfTest(disk, state, 0, 0.0, std::nullopt);
            return;
        }
    }

    // Tenths remaining, 1 to 9, while a test runs.
    static int remainingTenths(double share) {
        return std::clamp(int(std::ceil((1.0 - share) * 10.0)), 1, 9);
    }

    QByteArray smartDataNow(const SimDisk& disk, const State& state) const {
        QByteArray sector = disk.smartData;
        addToPowerOnCounter(&sector, poweredOnGrowth(disk));
        if (sector.size() != kSectorSize)
            return sector;
        const BYTE status =
            state.selfTest
                ? BYTE(0xF0 | remainingTenths(disk.device.selfTestEnd == SimSelfTestEnd::Stuck
                                                  ? std::min(selfTestShare(state), 0.9)
                                                  : selfTestShare(state)))
                : state.executionStatus;
        if (BYTE(sector[kExecutionStatusByte]) != status) {
            sector[kExecutionStatusByte] = char(status);
            setSectorChecksum(&sector);
        }
        return sector;
    }

    long long powerOnHours(const SimDisk& disk) const {
        if (disk.device.nvme) {
            QByteArray health = disk.nvmeHealth;
            addToNvmePowerOnHours(&health, poweredOnGrowth(disk));
            return static_cast<long long>(
                le::read64(reinterpret_cast<const BYTE*>(health.constData()),
                           std::size_t(health.size()), 128));
        }
        const QByteArray sector = smartDataNow(disk, State{});
        for (int entry = 2; entry + 12 <= 2 + 30 * 12 && sector.size() == kSectorSize;
             entry += 12) {
            if (BYTE(sector[entry]) == 9)
                return le::read16(reinterpret_cast<const BYTE*>(sector.constData()), kSectorSize,
                                  std::size_t(entry) + 5);
        }
        return 0;
    }

    // Writes the entry of the test that just ended and leaves the drive idle.
    void endSelfTest(const SimDisk& disk, State& state, int status, double remaining,
                     std::optional<unsigned long long> lba) {
        const long long hours = powerOnHours(disk);
        if (disk.device.nvme)
            addNvmeEntry(disk, state, status, hours, lba);
        else
            addAtaEntries(state, status, remaining, hours, lba);
        state.selfTest = 0;
    }

    static void addAtaEntries(State& state, int status, double remaining, long long hours,
                              std::optional<unsigned long long> lba) {
        const BYTE statusByte =
            BYTE(status << 4 | (remaining > 0 ? remainingTenths(1.0 - remaining) : 0));
        state.executionStatus = statusByte;
        if (state.log06.size() == kSectorSize) {
            BYTE* log = reinterpret_cast<BYTE*>(state.log06.data());
            const int index = log[508] % 21 + 1;
            BYTE* d = log + 2 + 24 * (index - 1);
            std::memset(d, 0, 24);
            d[0] = BYTE(state.selfTest);
            d[1] = statusByte;
            le::write16(d, 24, 2, WORD(hours));
            le::write32(d, 24, 5, lba ? DWORD(*lba) : 0xFFFFFFFFu);
            log[508] = BYTE(index);
            setSectorChecksum(&state.log06);
        }
        const std::size_t pages = std::size_t(state.log07.size()) / kSectorSize;
        if (pages > 0) {
            BYTE* log = reinterpret_cast<BYTE*>(state.log07.data());
            const std::size_t ring = pages * 19;
            const std::size_t index = le::read16(log, kSectorSize, 2) % ring + 1;
            BYTE* d = log + (index - 1) / 19 * kSectorSize + 4 + 26 * ((index - 1) % 19);
            std::memset(d, 0, 26);
            d[0] = BYTE(state.selfTest);
            d[1] = statusByte;
            le::write16(d, 26, 2, WORD(hours));
            le::writeUnsigned<std::uint64_t>(d, 26, 5, 6, lba ? *lba : 0xFFFFFFFFFFFFull);
            log[0] = 1;
            le::write16(log, kSectorSize, 2, WORD(index));
        }
    }

    static void addNvmeEntry(const SimDisk& disk, State& state, int result, long long hours,
                             std::optional<unsigned long long> lba) {
        if (state.log06.size() != kSimNvmeSelfTestLogSize)
            return;
        BYTE* log = reinterpret_cast<BYTE*>(state.log06.data());
        std::memmove(log + 4 + 28, log + 4, 28 * 19);
        BYTE* d = log + 4;
        std::memset(d, 0, 28);
        d[0] = BYTE(state.selfTest << 4 | result);
        d[2] = lba ? 0x03 : 0x00; // namespace and failing LBA valid
        le::write64(d, 28, 4, std::uint64_t(hours));
        le::write32(d, 28, 12, lba ? disk.device.nvmeNamespace : 0);
        le::write64(d, 28, 16, lba ? *lba : 0);
        log[0] = 0;
        log[1] = 0;
    }

    void beginSelfTest(State& state, int routine, long long minutes) {
        state.selfTest = routine;
        state.selfTestStart = simNow();
        state.selfTestSeconds = minutes * 60;
    }

    // SMART EXECUTE OFF-LINE IMMEDIATE; false: the disk aborts the command.
    bool executeOffline(const SimDisk& disk, State& state, const AtaRegisters& r) {
        const BYTE routine = r.lbaLow;
        if (routine == ata::kSelfTestAbort) {
            if (state.selfTest)
                endSelfTest(disk, state, 1, 1.0 - std::min(selfTestShare(state), 0.9),
                            std::nullopt);
            return true;
        }
        const BYTE capability = ataCapability(disk);
        const bool offered =
            routine == ata::kSelfTestConveyance ? (capability & 0x20) : (capability & 0x10);
        if (!offered || state.selfTest)
            return false;
        beginSelfTest(state, routine, ataMinutes(disk, routine));
        return true;
    }

    WORD nvmeSelfTest(const SimDisk& disk, State& state, const NvmeAdminCommand& command) {
        if (state.log06.isEmpty())
            return kNvmeInvalidOpcode;
        const BYTE code = BYTE(command.cdw10 & 0x0F);
        if (code == nvme::kSelfTestAbort) {
            if (state.selfTest)
                endSelfTest(disk, state, 1, 0.0, std::nullopt);
            return 0;
        }
        if (state.selfTest)
            return kNvmeSelfTestInProgress;
        const BYTE* id = reinterpret_cast<const BYTE*>(disk.nvmeIdentifyController.constData());
        const long long minutes =
            code == nvme::kSelfTestShort
                ? 2
                : le::read16(id, std::size_t(disk.nvmeIdentifyController.size()), 316);
        beginSelfTest(state, code, minutes);
        return 0;
    }

    // The NVMe log 06h with the running test's operation and completion.
    void refreshNvmeProgress(const SimDisk& disk, State& state) const {
        if (state.log06.size() != kSimNvmeSelfTestLogSize)
            return;
        const int ceiling = disk.device.selfTestEnd == SimSelfTestEnd::Stuck ? 90 : 99;
        state.log06[0] = char(state.selfTest);
        state.log06[1] =
            char(state.selfTest ? std::min(ceiling, int(selfTestShare(state) * 100.0)) : 0);
    }

    // The answer is in the sector count: 00 standby, 80 idle, FF active.
    static AtaOutcome checkPowerMode(const SimDisk& disk, const State& state,
                                     const AtaCommand& command) {
        if (command.dataIn)
            return transportFailure(EINVAL);
        if (disk.device.fails(SimRequest::PowerMode))
            return aborted(command.registers);
        AtaOutcome outcome = completed(command.registers);
        switch (state.powerMode) {
        case SimPowerMode::Standby:
            outcome.returned.sectorCount = 0x00;
            break;
        case SimPowerMode::Idle:
            outcome.returned.sectorCount = 0x80;
            break;
        case SimPowerMode::Active:
            outcome.returned.sectorCount = 0xFF;
            break;
        }
        return outcome;
    }

    static AtaOutcome sendSector(bool fails, const QByteArray& sector, const AtaCommand& command,
                                 BYTE* data) {
        if (!command.dataIn)
            return transportFailure(EINVAL);
        if (fails || sector.size() != kSectorSize)
            return transportFailure(EIO);
        std::memcpy(data, sector.constData(), kSectorSize);
        return completed(command.registers);
    }

    static AtaOutcome readLogExt(const SimDisk& disk, const State& state, const AtaCommand& command,
                                 BYTE* data) {
        const AtaRegisters& r = command.registers;
        const int page = r.lbaMid | command.previous.lbaHigh << 8;
        const int count = r.sectorCount | command.previous.sectorCount << 8;
        return sendLogPages(disk, state, command, r.lbaLow, page, count, data);
    }

    // Sends count pages of the log from page first: the Device Statistics
    // log and the error logs as far as their files go, the self-test logs as
    // they stand. Any other log, a page beyond the log, or no log at all is
    // aborted.
    static AtaOutcome sendLogPages(const SimDisk& disk, const State& state,
                                   const AtaCommand& command, BYTE log, int first, int count,
                                   BYTE* data) {
        if (!command.dataIn || count != command.blocks)
            return transportFailure(EINVAL);
        const QByteArray* source = nullptr;
        switch (log) {
        case ata::kLogDeviceStatistics:
            source = &disk.deviceStatistics;
            break;
        case ata::kLogSummaryError:
            source = &disk.errorLog;
            break;
        case ata::kLogExtComprehensiveError:
            source = &disk.extErrorLog;
            break;
        case ata::kLogSelfTest:
            source = &state.log06;
            break;
        case ata::kLogExtSelfTest:
            source = &state.log07;
            break;
        default:
            return aborted(command.registers);
        }
        const qsizetype pages = source->size() / kSectorSize;
        if (count == 0 || first + count > pages)
            return aborted(command.registers);
        std::memcpy(data, source->constData() + qsizetype(first) * kSectorSize,
                    std::size_t(count) * kSectorSize);
        return completed(command.registers);
    }

    static AtaOutcome returnStatus(const SimDisk& disk, const State& state,
                                   const AtaCommand& command) {
        if (command.dataIn)
            return transportFailure(EINVAL);
        if (disk.device.fails(SimRequest::Status))
            return transportFailure(EIO);
        if (!state.smartEnabled)
            return aborted(command.registers);
        AtaOutcome outcome = completed(command.registers);
        switch (disk.device.status) {
        case SimStatus::Good:
            outcome.returned.lbaMid = 0x4F;
            outcome.returned.lbaHigh = 0xC2;
            break;
        case SimStatus::Exceeded:
            outcome.returned.lbaMid = 0xF4;
            outcome.returned.lbaHigh = 0x2C;
            break;
        case SimStatus::None:
            outcome.returned.lbaMid = 0x00;
            outcome.returned.lbaHigh = 0x00;
            break;
        }
        return outcome;
    }

    static void setSmartEnabled(State& state, bool enable) {
        state.smartEnabled = enable;
        if (state.identify.size() != kSectorSize)
            return;
        char& flags = state.identify[kSmartEnabledByte];
        flags = enable ? char(flags | 0x01) : char(flags & ~0x01);
        if (static_cast<BYTE>(state.identify[kIntegritySignatureByte]) ==
            identify::kIntegritySignature)
            setSectorChecksum(&state.identify);
    }

    long long poweredOnGrowth(const SimDisk& disk) const {
        if (disk.device.powerOnPerHour == 0)
            return 0;
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::seconds>(simNow() - m_start).count();
        return elapsed <= 0 ? 0 : disk.device.powerOnPerHour * elapsed / 3600;
    }

    std::mutex m_mutex;
    std::shared_ptr<const SimMachine> m_machine;
    std::chrono::steady_clock::time_point m_start;
    std::vector<State> m_states;
    std::vector<Numbers> m_numbers;
};

// Bit of a disk in the IDE device map: its place on two IDE channels.
BYTE ideMapBit(const SimDisk& disk) {
    return BYTE(1u << (disk.index() & 3));
}

class SimOpenDevice : public OpenDevice {
public:
    SimOpenDevice(std::shared_ptr<SimDisks> disks, DevicePath where)
        : m_disks(std::move(disks)), m_path(DevicePathText(where)), m_where(where),
          m_traceFile(simTraceFile()) {}

    QString path() const override { return m_path; }

    AtaOutcome executeAllowed(RequestTarget target, const AtaCommand& command,
                              BYTE* data) override {
        const int disk = resolve(target);
        if (disk < 0)
            return transportFailure(ENODEV);
        bool wokeUp = false;
        const SimDeviceSettings& device = m_disks->machine().disks[std::size_t(disk)].device;
        const auto runOnDisk = [&] {
            return m_disks->execute(std::size_t(disk), command, data, &wokeUp);
        };
        const AtaOutcome outcome =
            device.bridge && m_where.kind == DevicePath::PhysicalDrive
                ? simExecuteBehindBridge(
                      device, m_path, command, data, runOnDisk,
                      [&](const QString& line) { appendTrace([&] { return line; }); })
                : runOnDisk();
        if (wokeUp)
            appendTrace([&] {
                return simWakeUpLine(m_path, m_disks->machine().disks[std::size_t(disk)].folder);
            });
        return outcome;
    }

    std::optional<NvmeDeviceFacts> nvmeFacts() const override {
        const int disk = m_where.kind == DevicePath::PhysicalDrive ? resolve({}) : -1;
        if (disk < 0)
            return std::nullopt;
        const SimDeviceSettings& device = m_disks->machine().disks[std::size_t(disk)].device;
        // Behind a bridge, the table decides, as on a real machine.
        if (device.bridge)
            return usb::tunnelNvmeFacts(simUsbFacts(device));
        if (!device.nvme)
            return std::nullopt;
        return NvmeDeviceFacts{device.nvmeNamespace, device.pcieLink};
    }

    std::optional<UsbDiskFacts> usbFacts() const override {
        const int disk = m_where.kind == DevicePath::PhysicalDrive ? resolve({}) : -1;
        if (disk < 0)
            return std::nullopt;
        const SimDeviceSettings& device = m_disks->machine().disks[std::size_t(disk)].device;
        if (!device.bridge)
            return std::nullopt;
        return simUsbFacts(device);
    }

    // The simulated kernel keeps no VPD page: a bridge the table names is
    // asked once, and the CDB is in the trace.
    QString unitSerialNumber() override {
        const int disk = m_where.kind == DevicePath::PhysicalDrive ? resolve({}) : -1;
        if (disk < 0)
            return QString();
        const SimDeviceSettings& device = m_disks->machine().disks[std::size_t(disk)].device;
        const UsbDiskFacts facts = simUsbFacts(device);
        if (!device.bridge || !usb::lookupBridge({facts.vendor, facts.product, facts.release}))
            return QString();
        const auto cdb = unitSerialInquiryCdb();
        appendTrace([&] { return simBridgeTraceLine(m_path, facts, cdb.data(), cdb.size()); });
        return parseUnitSerialPage(simUnitSerialPage(device));
    }

    NvmeOutcome executeNvmeAllowed(const NvmeAdminCommand& command, BYTE* data) override {
        const int disk = m_where.kind == DevicePath::PhysicalDrive ? resolve({}) : -1;
        if (disk < 0)
            return OpenDevice::executeNvmeAllowed(command, data);
        const SimDeviceSettings& device = m_disks->machine().disks[std::size_t(disk)].device;
        if (!device.bridge)
            return m_disks->executeNvme(std::size_t(disk), command, data);
        return simExecuteNvmeBehindBridge(
            device, m_path, command, data,
            [&](const NvmeAdminCommand& understood, BYTE* buffer) {
                return m_disks->executeNvme(std::size_t(disk), understood, buffer);
            },
            [&](const QString& line) { appendTrace([&] { return line; }); });
    }

    void traceNvme(const NvmeAdminCommand& command) override {
        appendTrace([&] { return simNvmeTraceLine(m_path, command); });
    }

    int version(RequestTarget target, BYTE* ideDeviceMap) override {
        const auto& disks = m_disks->machine().disks;
        if (m_where.kind == DevicePath::SmartDriver) {
            // The 9x driver answers for every disk it drives.
            *ideDeviceMap = 0;
            for (const SimDisk& disk : disks) {
                if (disk.device.direct)
                    *ideDeviceMap |= ideMapBit(disk);
            }
            return 0;
        }
        const int disk = resolve(target);
        if (disk < 0)
            return ENODEV;
        if (disks[std::size_t(disk)].device.fails(SimRequest::Version))
            return EIO;
        *ideDeviceMap = m_where.kind == DevicePath::ScsiAdapter
                            ? BYTE(1u << (target.driveNumber & 3))
                            : ideMapBit(disks[std::size_t(disk)]);
        return 0;
    }

    void traceRequest(DWORD controlCode, const BYTE* input, DWORD inputSize) override {
        appendTrace([&] { return simTraceLine(m_path, controlCode, input, inputSize); });
    }

private:
    // The trace is a test aid, but a run that has it set may be a root run:
    // it is appended to only as a regular file, never through a link. The
    // line is made only when a trace is asked for: formatting it costs more
    // than serving the request, on every request of every disk.
    template <typename MakeLine> void appendTrace(MakeLine makeLine) const {
        if (m_traceFile.isEmpty())
            return;
        int failure = 0;
        const vorn::UniqueFd fd(
            Cm_OpenRegularFileForWriting(QFile::encodeName(m_traceFile), true, &failure));
        if (!fd.valid())
            return;
        const QByteArray bytes = (makeLine() + '\n').toUtf8();
        // One write per line keeps lines whole when two processes append.
        [[maybe_unused]] const ssize_t written =
            ::write(fd.get(), bytes.constData(), std::size_t(bytes.size()));
    }

    // The position of the disk a request goes to, or -1.
    int resolve(RequestTarget target) const {
        const auto& disks = m_disks->machine().disks;
        for (std::size_t i = 0; i < disks.size(); ++i) {
            const SimDisk& disk = disks[i];
            const SimDisks::Numbers& numbers = m_disks->numbers()[i];
            switch (m_where.kind) {
            case DevicePath::PhysicalDrive:
                if (numbers.index == m_where.number)
                    return int(i);
                break;
            case DevicePath::SmartDriver:
                if (numbers.index == target.driveNumber && disk.device.direct)
                    return int(i);
                break;
            case DevicePath::ScsiAdapter:
                if (disk.device.scsi && numbers.scsiPort == m_where.number &&
                    (numbers.scsiTargetId & 0xFF) == target.driveNumber)
                    return int(i);
                break;
            }
        }
        return -1;
    }

    std::shared_ptr<SimDisks> m_disks;
    QString m_path;
    DevicePath m_where;
    QString m_traceFile; // looked up once per open, not at every request
};

class SimBackend : public DeviceBackend {
public:
    explicit SimBackend(std::shared_ptr<const SimMachine> machine)
        : m_disks(std::make_shared<SimDisks>(std::move(machine))) {}

    std::unique_ptr<OpenDevice> open(const DevicePath& path, int* error) override {
        *error = opens(path);
        if (*error)
            return nullptr;
        return std::make_unique<SimOpenDevice>(m_disks, path);
    }

    std::optional<UsbDiskFacts> usbFacts(int driveNumber) override {
        const SimDisk* disk = m_disks->machine().diskByIndex(driveNumber);
        if (!disk || !disk->device.bridge)
            return std::nullopt;
        return simUsbFacts(disk->device);
    }

private:
    int opens(const DevicePath& where) const {
        const SimMachine& machine = m_disks->machine();
        const auto& numbers = m_disks->numbers();
        switch (where.kind) {
        case DevicePath::SmartDriver:
            return machine.info.platform == 1 ? 0 : ENOENT;
        case DevicePath::PhysicalDrive:
            for (std::size_t i = 0; i < numbers.size(); ++i) {
                if (numbers[i].index == where.number)
                    return machine.disks[i].device.direct ? machine.disks[i].device.openError
                                                          : ENXIO;
            }
            return ENOENT;
        case DevicePath::ScsiAdapter:
            for (std::size_t i = 0; i < numbers.size(); ++i) {
                if (machine.disks[i].device.scsi && numbers[i].scsiPort == where.number)
                    return machine.disks[i].device.openError;
            }
            return ENOENT;
        }
        return ENOENT;
    }

    std::shared_ptr<SimDisks> m_disks;
};

} // namespace

void setSimClock(SimClock clock) {
    std::lock_guard<std::mutex> lock(clockMutex());
    clockSlot() = std::move(clock);
}

std::shared_ptr<DeviceBackend> makeSimDeviceBackend(std::shared_ptr<const SimMachine> machine) {
    return std::make_shared<SimBackend>(std::move(machine));
}

QString simTraceLine(const QString& path, DWORD controlCode, const BYTE* input, DWORD inputSize) {
    const QByteArray bytes = input && inputSize
                                 ? QByteArray(reinterpret_cast<const char*>(input), int(inputSize))
                                 : QByteArray();
    const QString code = QStringLiteral("%1").arg(controlCode, 8, 16, QLatin1Char('0')).toUpper();
    const QString hex =
        bytes.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(bytes.toHex()).toUpper();
    return path + QLatin1Char(' ') + code + QLatin1Char(' ') + hex;
}

QString simWakeUpLine(const QString& path, const QString& diskFolder) {
    return path + QStringLiteral(" WAKE-UP ") + diskFolder;
}

QString simNvmeTraceLine(const QString& path, const NvmeAdminCommand& command) {
    const auto hex = [](DWORD value, int digits) {
        return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
    };
    QString line = path + QStringLiteral(" NVME ") + hex(command.opcode, 2) + QLatin1Char(' ') +
                   hex(command.nsid, 8);
    for (DWORD dword :
         {command.cdw10, command.cdw11, command.cdw12, command.cdw13, command.cdw14, command.cdw15})
        line += QLatin1Char(' ') + hex(dword, 8);
    return line + QLatin1Char(' ') + QString::number(command.dataLength);
}

void addToNvmePowerOnHours(QByteArray* healthLog, long long delta) {
    constexpr int kPowerOnHours = 128;
    if (!healthLog || healthLog->size() != kSectorSize || delta <= 0)
        return;
    // A 128-bit little-endian counter: add and carry upwards.
    unsigned long long carry = static_cast<unsigned long long>(delta);
    for (int i = 0; i < 16 && carry; ++i) {
        const unsigned long long sum = static_cast<BYTE>((*healthLog)[kPowerOnHours + i]) + carry;
        (*healthLog)[kPowerOnHours + i] = char(sum & 0xFF);
        carry = sum >> 8;
    }
}

void addToPowerOnCounter(QByteArray* smartData, long long delta) {
    if (!smartData || smartData->size() != kSectorSize || delta == 0)
        return;
    for (int entry = 2; entry + 12 <= 2 + 30 * 12; entry += 12) {
        if (static_cast<BYTE>((*smartData)[entry]) != 9)
            continue;
        BYTE* bytes = reinterpret_cast<BYTE*>(smartData->data());
        const std::size_t size = static_cast<std::size_t>(smartData->size());
        const std::size_t rawAt = static_cast<std::size_t>(entry) + 5;
        const auto raw = vorn::le::readUnsigned<std::uint64_t>(bytes, size, rawAt, 6);
        vorn::le::writeUnsigned<std::uint64_t>(bytes, size, rawAt, 6,
                                               raw + static_cast<std::uint64_t>(delta));
        setSectorChecksum(smartData);
        return;
    }
}

void setSectorChecksum(QByteArray* sector) {
    if (!sector || sector->size() != kSectorSize)
        return;
    BYTE sum = 0;
    for (int i = 0; i < kSectorSize - 1; ++i)
        sum = BYTE(sum + static_cast<BYTE>((*sector)[i]));
    (*sector)[kSectorSize - 1] = char(BYTE(0x100 - sum));
}

} // namespace vorn::platform
