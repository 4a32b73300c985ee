#include "LinuxDevice.h"

#include "AtaCommandSet.h"
#include "DeviceBackendInstall.h"
#include "SafeFile.h"
#include "UniqueFd.h"

#include "BridgeTransport.h"
#include "DiskEnumeration.h"
#include "SatCommand.h"
#include "UsbSysfs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <linux/nvme_ioctl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vorn::platform {

namespace {

using vorn::UniqueFd;

constexpr unsigned kTimeoutMs = 10000;

// Read-only: SG_IO pass-through of the commands we send needs no write
// access, and closing a block device opened for writing makes udev probe
// the whole disk again at every refresh.
int openDisk(const QString& devicePath, int* error) {
    const int fd =
        ::open(QFile::encodeName(devicePath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = errno == EPERM ? EACCES : errno;
        if (*error == EACCES)
            noteDeviceNodeRefused(devicePath);
    }
    return fd;
}

// sysfs writes the "/" of a device name in a subdirectory of /dev as "!"
// (cciss!c0d0 is /dev/cciss/c0d0).
QString deviceNodeOf(const QString& devRoot, QString kernelName) {
    return devRoot + QLatin1Char('/') + kernelName.replace(QLatin1Char('!'), QLatin1Char('/'));
}

AtaOutcome transportFailure(int error) {
    AtaOutcome outcome;
    outcome.transportError = error;
    return outcome;
}

struct SgResult {
    int error = 0; // errno of the ioctl itself
    sg_io_hdr_t header{};
    BYTE sense[64] = {};
};

SgResult sendCdb(int fd, const BYTE* cdb, unsigned char cdbLength, DWORD dataLength, BYTE* data,
                 DWORD timeoutMs = kTimeoutMs, bool toDevice = false) {
    SgResult result;
    sg_io_hdr_t& io = result.header;
    io.interface_id = 'S';
    io.cmd_len = cdbLength;
    io.cmdp = const_cast<BYTE*>(cdb);
    io.mx_sb_len = sizeof result.sense;
    io.sbp = result.sense;
    io.timeout = timeoutMs;
    io.dxfer_direction =
        !dataLength ? SG_DXFER_NONE : (toDevice ? SG_DXFER_TO_DEV : SG_DXFER_FROM_DEV);
    io.dxfer_len = dataLength;
    io.dxferp = dataLength ? data : nullptr;
    if (::ioctl(fd, SG_IO, &io) < 0)
        result.error = errno == EPERM ? EACCES : errno;
    return result;
}

sat::SgReply replyOf(const SgResult& result) {
    const sg_io_hdr_t& io = result.header;
    return {io.status, io.host_status, io.driver_status, io.resid, result.sense, io.sb_len_wr};
}

} // namespace

AtaOutcome sendAtaCommand(int fd, const AtaCommand& command, BYTE* data) {
    const AtaRegisters& r = command.registers;
    const bool wantRegisters = sat::needsReturnedRegisters(command);
    const sat::CdbOptions options{command.dataIn, wantRegisters};

    const DWORD length = command.dataLength();
    const auto cdb16 = command.extended ? sat::buildCdb16Extended(r, command.previous, options)
                                        : sat::buildCdb16(r, options);
    SgResult result = sendCdb(fd, cdb16.data(), cdb16.size(), length, data);
    if (result.error)
        return transportFailure(result.error);
    // The 12-byte form has no room for a 48-bit command's high-order bytes.
    if (const auto sense = sat::senseOf(replyOf(result));
        sense && sat::isOpcodeRejected(*sense) && !command.extended) {
        const auto cdb12 = sat::buildCdb12(r, options);
        result = sendCdb(fd, cdb12.data(), cdb12.size(), length, data);
        if (result.error)
            return transportFailure(result.error);
    }
    return sat::interpretReply(replyOf(result), command, wantRegisters);
}

// A disk behind a USB bridge: the bridge table, not the fallback above,
// decides which CDB goes out.
AtaOutcome sendAtaCommandThroughBridge(int fd, const UsbDiskFacts& facts, const AtaCommand& command,
                                       BYTE* data) {
    SgResult result;
    const DWORD length = command.dataLength();
    return usb::executeThroughBridge(
        facts, command, data,
        [&](const BYTE* cdb, std::size_t cdbLength, DWORD timeoutMs, sat::SgReply* reply) {
            result =
                sendCdb(fd, cdb, static_cast<unsigned char>(cdbLength), length, data, timeoutMs);
            *reply = replyOf(result);
            return result.error;
        });
}

// An NVMe drive behind a USB bridge: the table's tunnel carries the command.
NvmeOutcome sendNvmeThroughBridge(int fd, const UsbDiskFacts& facts,
                                  const NvmeAdminCommand& command, BYTE* data) {
    SgResult result; // the reply's sense points into it until the next CDB
    return usb::executeNvmeThroughBridge(
        facts, command, data, [&](const usb::CdbTransfer& transfer, sat::SgReply* reply) {
            result =
                sendCdb(fd, transfer.cdb, static_cast<unsigned char>(transfer.cdbLength),
                        transfer.direction == usb::CdbDirection::None ? 0 : transfer.dataLength,
                        transfer.data, transfer.timeoutMs,
                        transfer.direction == usb::CdbDirection::ToDevice);
            *reply = replyOf(result);
            return result.error;
        });
}

namespace {

// One INQUIRY for the unit serial number page, with the short timeout: the
// page is optional, and a bridge that does not keep it may sit on the CDB.
QByteArray inquireUnitSerialPage(int fd) {
    const auto cdb = unitSerialInquiryCdb();
    QByteArray page(cdb[4], '\0');
    const SgResult result =
        sendCdb(fd, cdb.data(), cdb.size(), DWORD(page.size()),
                reinterpret_cast<BYTE*>(page.data()), usb::kUnknownBridgeTimeoutMs);
    const sg_io_hdr_t& io = result.header;
    if (result.error || io.status != 0 || io.host_status != 0 || io.driver_status != 0)
        return QByteArray();
    page.truncate(std::max(0, int(page.size()) - io.resid));
    return page;
}

} // namespace

bool isRuntimeSuspended(const QString& sysRoot, const QString& kernelName) {
    if (kernelName.isEmpty())
        return false;
    const std::optional<QByteArray> status =
        Cm_ReadBoundedFile(sysRoot + QStringLiteral("/block/") + kernelName +
                               QStringLiteral("/device/power/runtime_status"),
                           64);
    return status && status->trimmed() == "suspended";
}

NvmeOutcome sendNvmeAdminCommand(int fd, const NvmeAdminCommand& command, BYTE* data) {
    nvme_admin_cmd io{};
    io.opcode = command.opcode;
    io.nsid = command.nsid;
    io.addr = reinterpret_cast<std::uintptr_t>(data);
    io.data_len = command.dataLength;
    io.cdw10 = command.cdw10;
    io.cdw11 = command.cdw11;
    io.cdw12 = command.cdw12;
    io.cdw13 = command.cdw13;
    io.cdw14 = command.cdw14;
    io.cdw15 = command.cdw15;
    io.timeout_ms = kTimeoutMs;
    NvmeOutcome outcome;
    const int status = ::ioctl(fd, NVME_IOCTL_ADMIN_CMD, &io);
    if (status < 0)
        outcome.transportError = errno == EPERM ? EACCES : errno;
    else
        outcome.status = static_cast<WORD>(status & 0x7FF);
    outcome.result = io.result;
    return outcome;
}

namespace {

QString sysfsWord(const QString& path) {
    const QByteArray bytes = Cm_ReadBoundedFile(path, 4096).value_or(QByteArray());
    const qsizetype end = bytes.indexOf('\n');
    return QString::fromUtf8(end < 0 ? bytes : bytes.left(end)).trimmed();
}

// The kernel gives a link it cannot tell as "Unknown" or "255".
QString knownLinkWord(const QString& word) {
    if (word.isEmpty() || word.startsWith(QLatin1String("Unknown")) || word == QLatin1String("255"))
        return QString();
    return word;
}

PcieLink readPcieLink(const QString& pciDir) {
    return {knownLinkWord(sysfsWord(pciDir + QStringLiteral("/max_link_speed"))),
            knownLinkWord(sysfsWord(pciDir + QStringLiteral("/max_link_width"))),
            knownLinkWord(sysfsWord(pciDir + QStringLiteral("/current_link_speed"))),
            knownLinkWord(sysfsWord(pciDir + QStringLiteral("/current_link_width")))};
}

} // namespace

std::optional<NvmeDeviceFacts> nvmeFactsOf(const QString& sysRoot, const QString& kernelName,
                                           int fd) {
    const std::optional<NvmeNamespaceName> name = parseNvmeNamespaceName(kernelName);
    if (!name)
        return std::nullopt;
    NvmeDeviceFacts facts;
    const QString blockDir = sysRoot + QStringLiteral("/block/") + kernelName;
    facts.namespaceId = sysfsWord(blockDir + QStringLiteral("/nsid")).toUInt();
    if (facts.namespaceId == 0 && fd >= 0) {
        const int id = ::ioctl(fd, NVME_IOCTL_ID);
        facts.namespaceId = id > 0 ? static_cast<DWORD>(id) : 0;
    }
    // The namespace's device is its controller, whose device is the PCI
    // function; a multipath head hangs below the subsystem instead, so the
    // controller of the same number stands in.
    facts.link = readPcieLink(blockDir + QStringLiteral("/device/device"));
    if (facts.link.maxSpeed.isEmpty() && facts.link.currentSpeed.isEmpty())
        facts.link = readPcieLink(sysRoot + QStringLiteral("/class/nvme/") + name->controller +
                                  QStringLiteral("/device"));
    return facts;
}

QString findScsiDisk(const QString& sysRoot, int host, int target) {
    const QDir devices(sysRoot + QStringLiteral("/class/scsi_device"));
    QString found;
    int foundChannel = -1;
    for (const QString& address :
         devices.entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot)) {
        const QStringList parts = address.split(QLatin1Char(':'));
        if (parts.size() != 4 || parts[0].toInt() != host || parts[2].toInt() != target ||
            parts[3] != QLatin1String("0"))
            continue;
        const int channel = parts[1].toInt();
        if (foundChannel >= 0 && channel >= foundChannel)
            continue;
        const QStringList disks = QDir(devices.filePath(address) + QStringLiteral("/device/block"))
                                      .entryList(QDir::Dirs | QDir::System | QDir::NoDotAndDotDot);
        if (disks.isEmpty())
            continue;
        found = disks.first();
        foundChannel = channel;
    }
    return found;
}

namespace {

// An IDE device map bit by the place a disk would have on two channels.
BYTE mapBit(int number) {
    return BYTE(1u << (number & 3));
}

class LinuxDisk : public OpenDevice {
public:
    LinuxDisk(QString path, int number, int fd, std::optional<NvmeDeviceFacts> nvme,
              QString sysRoot, QString kernelName)
        : m_path(std::move(path)), m_number(number), m_fd(fd), m_nvme(std::move(nvme)),
          m_usb(usbFactsOf(sysRoot, kernelName)), m_sysRoot(std::move(sysRoot)),
          m_kernelName(std::move(kernelName)) {
        if (!m_nvme && m_usb)
            m_nvme = usb::tunnelNvmeFacts(*m_usb);
    }
    QString path() const override { return m_path; }
    bool runtimeSuspended(RequestTarget) override {
        return isRuntimeSuspended(m_sysRoot, m_kernelName);
    }
    AtaOutcome executeAllowed(RequestTarget, const AtaCommand& command, BYTE* data) override {
        if (m_usb)
            return sendAtaCommandThroughBridge(m_fd.get(), *m_usb, command, data);
        return sendAtaCommand(m_fd.get(), command, data);
    }
    std::optional<NvmeDeviceFacts> nvmeFacts() const override { return m_nvme; }
    std::optional<UsbDiskFacts> usbFacts() const override { return m_usb; }
    QString unitSerialNumber() override {
        if (!m_usb)
            return QString();
        const QString kept = parseUnitSerialPage(sysfsUnitSerialPage(m_sysRoot, m_kernelName));
        if (!kept.isEmpty() || !usb::lookupBridge({m_usb->vendor, m_usb->product, m_usb->release}))
            return kept;
        return parseUnitSerialPage(inquireUnitSerialPage(m_fd.get()));
    }
    NvmeOutcome executeNvmeAllowed(const NvmeAdminCommand& command, BYTE* data) override {
        if (!m_nvme)
            return OpenDevice::executeNvmeAllowed(command, data);
        if (m_usb)
            return sendNvmeThroughBridge(m_fd.get(), *m_usb, command, data);
        return sendNvmeAdminCommand(m_fd.get(), command, data);
    }
    int version(RequestTarget, BYTE* ideDeviceMap) override {
        *ideDeviceMap = mapBit(m_number);
        return 0;
    }

private:
    QString m_path;
    int m_number;
    UniqueFd m_fd; // the block device, for the life of the handle
    std::optional<NvmeDeviceFacts> m_nvme;
    std::optional<UsbDiskFacts> m_usb;
    QString m_sysRoot;
    QString m_kernelName;
};

// A SCSI host: each request finds its disk by the target in the request.
class LinuxAdapter : public OpenDevice {
public:
    LinuxAdapter(QString path, int host, QString sysRoot, QString devRoot)
        : m_path(std::move(path)), m_host(host), m_sysRoot(std::move(sysRoot)),
          m_devRoot(std::move(devRoot)) {}
    QString path() const override { return m_path; }
    AtaOutcome executeAllowed(RequestTarget target, const AtaCommand& command,
                              BYTE* data) override {
        const QString disk = findScsiDisk(m_sysRoot, m_host, target.driveNumber);
        if (disk.isEmpty())
            return transportFailure(ENODEV);
        int error = 0;
        const UniqueFd fd(openDisk(deviceNodeOf(m_devRoot, disk), &error));
        if (fd.get() < 0)
            return transportFailure(error);
        return sendAtaCommand(fd.get(), command, data);
    }
    bool runtimeSuspended(RequestTarget target) override {
        return isRuntimeSuspended(m_sysRoot, findScsiDisk(m_sysRoot, m_host, target.driveNumber));
    }
    int version(RequestTarget target, BYTE* ideDeviceMap) override {
        if (findScsiDisk(m_sysRoot, m_host, target.driveNumber).isEmpty())
            return ENODEV;
        *ideDeviceMap = mapBit(target.driveNumber);
        return 0;
    }

private:
    QString m_path;
    int m_host;
    QString m_sysRoot;
    QString m_devRoot;
};

class LinuxBackend : public DeviceBackend {
public:
    LinuxBackend(QString sysRoot, QString devRoot)
        : m_sysRoot(std::move(sysRoot)), m_devRoot(std::move(devRoot)) {}

    std::unique_ptr<OpenDevice> open(const DevicePath& path, int* error) override {
        *error = ENOENT;
        switch (path.kind) {
        case DevicePath::PhysicalDrive: {
            const QStringList disks = physicalDiskNames(m_sysRoot);
            if (path.number < 0 || path.number >= disks.size())
                return nullptr;
            const QString& disk = disks[path.number];
            const int fd = openDisk(deviceNodeOf(m_devRoot, disk), error);
            if (fd < 0)
                return nullptr;
            return std::make_unique<LinuxDisk>(DevicePathText(path), path.number, fd,
                                               nvmeFactsOf(m_sysRoot, disk, fd), m_sysRoot, disk);
        }
        case DevicePath::ScsiAdapter:
            if (!QFileInfo(m_sysRoot + QStringLiteral("/class/scsi_host/host%1").arg(path.number))
                     .exists())
                return nullptr;
            return std::make_unique<LinuxAdapter>(DevicePathText(path), path.number, m_sysRoot,
                                                  m_devRoot);
        case DevicePath::SmartDriver:
            return nullptr; // only a simulated 9x machine has it
        }
        return nullptr;
    }

    std::optional<UsbDiskFacts> usbFacts(int driveNumber) override {
        const QStringList disks = physicalDiskNames(m_sysRoot);
        if (driveNumber < 0 || driveNumber >= disks.size())
            return std::nullopt;
        return usbFactsOf(m_sysRoot, disks[driveNumber]);
    }

private:
    QString m_sysRoot;
    QString m_devRoot;
};

} // namespace

std::shared_ptr<DeviceBackend> makeLinuxDeviceBackend(const QString& sysRoot,
                                                      const QString& devRoot) {
    return std::make_shared<LinuxBackend>(sysRoot, devRoot);
}

} // namespace vorn::platform
