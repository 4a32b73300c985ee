#include "Disks.h"

#include "BridgeTransport.h"
#include "DiskEnumeration.h"
#include "HelperBackend.h"
#include "HelperProtocol.h"
#include "LinuxDevice.h"
#include "SimBridge.h"
#include "SimDevice.h"
#include "UniqueFd.h"
#include "UsbSysfs.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vorn::diskhelper {

namespace help = platform::helper;
using vorn::UniqueFd;

namespace {

// A disk behind a USB bridge gets only what the bridge table lets through,
// exactly as in a process that may send pass-through itself.
class LinuxOpenedDisk : public OpenedDisk {
public:
    LinuxOpenedDisk(UniqueFd fd, std::optional<platform::UsbDiskFacts> usb)
        : m_fd(std::move(fd)), m_usb(std::move(usb)) {}
    platform::AtaOutcome execute(const platform::AtaCommand& command, BYTE* data) override {
        if (m_usb)
            return platform::sendAtaCommandThroughBridge(m_fd.get(), *m_usb, command, data);
        return platform::sendAtaCommand(m_fd.get(), command, data);
    }
    platform::NvmeOutcome executeNvme(const platform::NvmeAdminCommand& command,
                                      BYTE* data) override {
        if (m_usb)
            return platform::sendNvmeThroughBridge(m_fd.get(), *m_usb, command, data);
        return platform::sendNvmeAdminCommand(m_fd.get(), command, data);
    }

private:
    UniqueFd m_fd;
    std::optional<platform::UsbDiskFacts> m_usb;
};

help::NodeFacts factsOf(const QString& path, const struct stat& st) {
    help::NodeFacts facts;
    facts.canonicalPath = path;
    facts.blockDevice = S_ISBLK(st.st_mode);
    facts.ownerUid = st.st_uid;
    facts.rdev = st.st_rdev;
    return facts;
}

class LinuxDiskAccess : public DiskAccess {
public:
    LinuxDiskAccess(QString sysRoot, QString devRoot)
        : m_sysRoot(std::move(sysRoot)), m_devRoot(std::move(devRoot)) {}

    std::unique_ptr<OpenedDisk> open(const QString& name, int* error) override {
        *error = ENODEV;
        if (!help::isAcceptableDiskName(name) ||
            !platform::physicalDiskNames(m_sysRoot).contains(name))
            return nullptr;
        QFile devFile(m_sysRoot + QStringLiteral("/block/") + name + QStringLiteral("/dev"));
        if (!devFile.open(QIODevice::ReadOnly))
            return nullptr;
        const auto expected = help::parseSysfsDevNumber(devFile.read(64));
        const QString devRoot = QFileInfo(m_devRoot).canonicalFilePath();
        if (!expected || devRoot.isEmpty())
            return nullptr;
        // An accepted name is one component, so the node is looked up in the
        // device folder itself and nowhere else.
        const UniqueFd dir(::open(QFile::encodeName(devRoot).constData(),
                                  O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
        const QByteArray entry = QFile::encodeName(name);
        struct stat before {};
        if (!dir.valid() || ::fstatat(dir.get(), entry.constData(), &before, AT_SYMLINK_NOFOLLOW))
            return nullptr;
        // Looked at before it is opened: opening a FIFO, a character device
        // or a link's target may already act on it.
        if (!help::nodeServesDisk(factsOf(devRoot + QLatin1Char('/') + name, before), *expected,
                                  devRoot))
            return nullptr;
        UniqueFd fd(::openat(dir.get(), entry.constData(),
                             O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY));
        if (!fd.valid()) {
            *error = errno == ENODEV ? ENXIO : errno;
            return nullptr;
        }
        // And what opened must be what was looked at, not a node swapped in
        // between.
        struct stat opened {};
        if (::fstat(fd.get(), &opened) || opened.st_dev != before.st_dev ||
            opened.st_ino != before.st_ino ||
            !help::nodeServesDisk(factsOf(devRoot + QLatin1Char('/') + name, opened), *expected,
                                  devRoot))
            return nullptr;
        *error = 0;
        return std::make_unique<LinuxOpenedDisk>(std::move(fd),
                                                 platform::usbFactsOf(m_sysRoot, name));
    }

    bool servesNvme(const QString& name) override {
        if (help::isNvmeNamespaceName(name))
            return true;
        const auto usb = platform::usbFactsOf(m_sysRoot, name);
        return usb && platform::usb::tunnelNvmeFacts(*usb);
    }

private:
    QString m_sysRoot;
    QString m_devRoot;
};

QString traceLine(const QString& name, const platform::AtaCommand& command) {
    BYTE values[platform::kAtaRegisterBytes];
    platform::putAtaRegisters(command.registers, values);
    QString hex;
    for (BYTE value : values)
        hex += QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
    QString line = QStringLiteral("%1 %2 %3").arg(name, hex, command.dataIn ? "in" : "none");
    // The wide commands only: the plain ones keep the line they always had.
    if (command.blocks != 1)
        line += QStringLiteral(" x%1").arg(command.blocks);
    if (command.extended) {
        platform::putAtaRegisters(command.previous, values);
        line += QStringLiteral(" ext ");
        for (BYTE value : values)
            line += QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
    }
    return line + QLatin1Char('\n');
}

class SimOpenedDisk : public OpenedDisk {
public:
    SimOpenedDisk(std::unique_ptr<platform::OpenDevice> device, platform::RequestTarget target,
                  QString name, QString traceFile)
        : m_device(std::move(device)), m_target(target), m_name(std::move(name)),
          m_traceFile(std::move(traceFile)) {}
    platform::AtaOutcome execute(const platform::AtaCommand& command, BYTE* data) override {
        trace(traceLine(m_name, command));
        return m_device->execute(m_target, command, data);
    }
    platform::NvmeOutcome executeNvme(const platform::NvmeAdminCommand& command,
                                      BYTE* data) override {
        trace(platform::simNvmeTraceLine(m_name, command) + QLatin1Char('\n'));
        return m_device->executeNvme(command, data);
    }

private:
    void trace(const QString& line) {
        if (m_traceFile.isEmpty())
            return;
        QFile file(m_traceFile);
        if (file.open(QIODevice::WriteOnly | QIODevice::Append))
            file.write(line.toUtf8());
    }

    std::unique_ptr<platform::OpenDevice> m_device;
    platform::RequestTarget m_target;
    QString m_name;
    QString m_traceFile;
};

class SimDiskAccess : public DiskAccess {
public:
    SimDiskAccess(std::shared_ptr<const platform::SimMachine> machine, QString traceFile)
        : m_machine(machine), m_backend(platform::makeSimDeviceBackend(std::move(machine))),
          m_traceFile(std::move(traceFile)) {}

    std::unique_ptr<OpenedDisk> open(const QString& name, int* error) override {
        *error = ENODEV;
        for (const platform::SimDisk& disk : m_machine->disks) {
            if (platform::simKernelNameOf(disk) != name)
                continue;
            // The path the disk opens by: its own handle, or its adapter with
            // the disk's target in each request.
            using platform::DevicePath;
            const bool direct = disk.device.direct;
            const DevicePath path = direct ? DevicePath{DevicePath::PhysicalDrive, disk.index()}
                                           : DevicePath{DevicePath::ScsiAdapter, disk.scsiPort()};
            const platform::RequestTarget target{direct ? 0 : (disk.scsiTargetId() & 0xFF)};
            std::unique_ptr<platform::OpenDevice> device = m_backend->open(path, error);
            if (!device)
                return nullptr;
            return std::make_unique<SimOpenedDisk>(std::move(device), target, name, m_traceFile);
        }
        return nullptr;
    }

    bool servesNvme(const QString& name) override {
        for (const platform::SimDisk& disk : m_machine->disks) {
            if (platform::simKernelNameOf(disk) != name)
                continue;
            // Behind a bridge the table decides, as on a real machine.
            if (disk.device.bridge)
                return platform::usb::tunnelNvmeFacts(platform::simUsbFacts(disk.device))
                    .has_value();
            return disk.device.nvme;
        }
        return false;
    }

private:
    std::shared_ptr<const platform::SimMachine> m_machine;
    std::shared_ptr<platform::DeviceBackend> m_backend;
    QString m_traceFile;
};

} // namespace

std::unique_ptr<DiskAccess> makeLinuxDiskAccess(const QString& sysRoot, const QString& devRoot) {
    return std::make_unique<LinuxDiskAccess>(sysRoot, devRoot);
}

std::unique_ptr<DiskAccess> makeSimDiskAccess(std::shared_ptr<const platform::SimMachine> machine,
                                              const QString& traceFile) {
    return std::make_unique<SimDiskAccess>(std::move(machine), traceFile);
}

} // namespace vorn::diskhelper
