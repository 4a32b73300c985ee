#include "HelperBackend.h"

#include "BridgeTransport.h"
#include "DiskEnumeration.h"
#include "HelperProtocol.h"
#include "LinuxDevice.h"
#include "SimBridge.h"
#include "UsbSysfs.h"

#include <QFileInfo>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#ifdef VORN_HAVE_LIBDBUS
#include <dbus/dbus.h>
#include <dlfcn.h>
#endif

namespace vorn::platform {

HelperDiskNaming::~HelperDiskNaming() = default;
HelperTransport::~HelperTransport() = default;

bool processMaySendPassThrough() {
    if (::geteuid() == 0)
        return true;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    return data[CAP_TO_INDEX(CAP_SYS_RAWIO)].effective & CAP_TO_MASK(CAP_SYS_RAWIO);
}

namespace {

class SysfsNaming : public HelperDiskNaming {
public:
    explicit SysfsNaming(QString sysRoot) : m_sysRoot(std::move(sysRoot)) {}
    QString physicalDrive(int number, int* error) override {
        const QStringList disks = physicalDiskNames(m_sysRoot);
        if (number < 0 || number >= disks.size()) {
            *error = ENOENT;
            return QString();
        }
        return disks[number];
    }
    bool hasAdapter(int port) override {
        return QFileInfo::exists(m_sysRoot + QStringLiteral("/class/scsi_host/host%1").arg(port));
    }
    QString adapterDisk(int port, int target) override {
        return findScsiDisk(m_sysRoot, port, target);
    }
    std::optional<NvmeDeviceFacts> nvmeFacts(const QString& disk) override {
        return nvmeFactsOf(m_sysRoot, disk);
    }
    bool runtimeSuspended(const QString& disk) override {
        return isRuntimeSuspended(m_sysRoot, disk);
    }
    std::optional<UsbDiskFacts> usbFacts(const QString& disk) override {
        return usbFactsOf(m_sysRoot, disk);
    }
    QByteArray unitSerialPage(const QString& disk) override {
        return sysfsUnitSerialPage(m_sysRoot, disk);
    }

private:
    QString m_sysRoot;
};

// Mirrors what the simulated backend opens, so that a run through the helper
// meets the same failures as a direct one.
class SimNaming : public HelperDiskNaming {
public:
    explicit SimNaming(std::shared_ptr<const SimMachine> machine) : m_machine(std::move(machine)) {}
    QString physicalDrive(int number, int* error) override {
        const SimDisk* disk = m_machine->diskByIndex(number);
        if (!disk || !disk->device.direct) {
            *error = disk ? ENXIO : ENOENT;
            return QString();
        }
        return simKernelNameOf(*disk);
    }
    bool hasAdapter(int port) override {
        for (const SimDisk& disk : m_machine->disks) {
            if (disk.device.scsi && disk.scsiPort() == port)
                return true;
        }
        return false;
    }
    QString adapterDisk(int port, int target) override {
        for (const SimDisk& disk : m_machine->disks) {
            if (disk.device.scsi && disk.scsiPort() == port &&
                (disk.scsiTargetId() & 0xFF) == target)
                return simKernelNameOf(disk);
        }
        return QString();
    }
    std::optional<NvmeDeviceFacts> nvmeFacts(const QString& name) override {
        for (const SimDisk& disk : m_machine->disks) {
            if (disk.device.nvme && !disk.device.bridge && simKernelNameOf(disk) == name)
                return NvmeDeviceFacts{disk.device.nvmeNamespace, disk.device.pcieLink};
        }
        return std::nullopt;
    }
    std::optional<UsbDiskFacts> usbFacts(const QString& name) override {
        for (const SimDisk& disk : m_machine->disks) {
            if (disk.device.bridge && simKernelNameOf(disk) == name)
                return simUsbFacts(disk.device);
        }
        return std::nullopt;
    }
    QByteArray unitSerialPage(const QString& name) override {
        for (const SimDisk& disk : m_machine->disks) {
            if (disk.device.bridge && simKernelNameOf(disk) == name)
                return simUnitSerialPage(disk.device);
        }
        return QByteArray();
    }

private:
    std::shared_ptr<const SimMachine> m_machine;
};

// An NVMe namespace, or the NVMe drive behind a bridge the table names for a
// tunnel: the helper is asked NVMe commands for both.
std::optional<NvmeDeviceFacts> nvmeFactsOfDisk(HelperDiskNaming& naming, const QString& disk) {
    if (auto facts = naming.nvmeFacts(disk))
        return facts;
    const std::optional<UsbDiskFacts> usb = naming.usbFacts(disk);
    return usb ? usb::tunnelNvmeFacts(*usb) : std::nullopt;
}

template <typename Outcome> Outcome transportFailure(int error) {
    Outcome outcome;
    outcome.transportError = error;
    return outcome;
}

class HelperDevice : public OpenDevice {
public:
    // A disk handle names its disk; an adapter handle (port >= 0) finds the
    // disk of each request by its target.
    HelperDevice(std::shared_ptr<HelperTransport> transport,
                 std::shared_ptr<HelperDiskNaming> naming, QString path, QString disk, int port,
                 int number)
        : m_transport(std::move(transport)), m_naming(std::move(naming)), m_path(std::move(path)),
          m_disk(std::move(disk)), m_port(port), m_number(number),
          m_nvme(m_disk.isEmpty() ? std::nullopt : nvmeFactsOfDisk(*m_naming, m_disk)) {}

    QString path() const override { return m_path; }

    // sysfs is readable by anyone: the helper need not be asked, nor the disk.
    bool runtimeSuspended(RequestTarget target) override {
        const QString disk =
            m_port >= 0 ? m_naming->adapterDisk(m_port, target.driveNumber) : m_disk;
        return !disk.isEmpty() && m_naming->runtimeSuspended(disk);
    }

    // Reached through the door, OpenDevice::execute, after the allow-list.
    AtaOutcome executeAllowed(RequestTarget target, const AtaCommand& command,
                              BYTE* data) override {
        const QString disk =
            m_port >= 0 ? m_naming->adapterDisk(m_port, target.driveNumber) : m_disk;
        if (disk.isEmpty())
            return transportFailure<AtaOutcome>(ENODEV);
        const HelperReply reply = m_transport->execute(disk, helper::encodeAtaRequest(command));
        if (!reply.errorName.isEmpty())
            return transportFailure<AtaOutcome>(helper::errnoOfError(reply.errorName));
        AtaOutcome outcome;
        if (!helper::decodeAtaReply(reply.bytes, command, &outcome, data))
            return transportFailure<AtaOutcome>(EIO);
        return outcome;
    }

    std::optional<NvmeDeviceFacts> nvmeFacts() const override { return m_nvme; }

    // Only the page the kernel keeps: the helper's allow-lists have no
    // INQUIRY, and need none for a fact this small.
    QString unitSerialNumber() override {
        return m_disk.isEmpty() || !m_naming->usbFacts(m_disk)
                   ? QString()
                   : parseUnitSerialPage(m_naming->unitSerialPage(m_disk));
    }

    NvmeOutcome executeNvmeAllowed(const NvmeAdminCommand& command, BYTE* data) override {
        if (!m_nvme)
            return OpenDevice::executeNvmeAllowed(command, data);
        const HelperReply reply = m_transport->execute(m_disk, helper::encodeNvmeRequest(command));
        if (!reply.errorName.isEmpty())
            return transportFailure<NvmeOutcome>(helper::errnoOfError(reply.errorName));
        NvmeOutcome outcome;
        if (!helper::decodeNvmeReply(reply.bytes, command, &outcome, data))
            return transportFailure<NvmeOutcome>(EIO);
        return outcome;
    }

    int version(RequestTarget target, BYTE* ideDeviceMap) override {
        // The device map is a fact of the disk's place, which the helper has
        // no need to be asked about.
        if (m_port >= 0) {
            if (m_naming->adapterDisk(m_port, target.driveNumber).isEmpty())
                return ENODEV;
            *ideDeviceMap = BYTE(1u << (target.driveNumber & 3));
        } else {
            *ideDeviceMap = BYTE(1u << (m_number & 3));
        }
        return 0;
    }

private:
    std::shared_ptr<HelperTransport> m_transport;
    std::shared_ptr<HelperDiskNaming> m_naming;
    QString m_path;
    QString m_disk;
    int m_port;
    int m_number;
    std::optional<NvmeDeviceFacts> m_nvme;
};

class HelperBackend : public DeviceBackend {
public:
    HelperBackend(std::shared_ptr<HelperTransport> transport,
                  std::shared_ptr<HelperDiskNaming> naming)
        : m_transport(std::move(transport)), m_naming(std::move(naming)) {}

    std::unique_ptr<OpenDevice> open(const DevicePath& path, int* error) override {
        *error = ENOENT;
        switch (path.kind) {
        case DevicePath::PhysicalDrive: {
            const QString disk = m_naming->physicalDrive(path.number, error);
            if (disk.isEmpty())
                return nullptr;
            const HelperReply reply = m_transport->checkDisk(disk);
            if (!reply.errorName.isEmpty()) {
                *error = helper::errnoOfError(reply.errorName);
                return nullptr;
            }
            *error = 0;
            return std::make_unique<HelperDevice>(m_transport, m_naming, DevicePathText(path), disk,
                                                  -1, path.number);
        }
        case DevicePath::ScsiAdapter:
            if (!m_naming->hasAdapter(path.number))
                return nullptr;
            *error = 0;
            return std::make_unique<HelperDevice>(m_transport, m_naming, DevicePathText(path),
                                                  QString(), path.number, path.number);
        case DevicePath::SmartDriver:
            return nullptr;
        }
        return nullptr;
    }

    std::optional<UsbDiskFacts> usbFacts(int driveNumber) override {
        int error = 0;
        const QString disk = m_naming->physicalDrive(driveNumber, &error);
        return disk.isEmpty() ? std::nullopt : m_naming->usbFacts(disk);
    }

private:
    std::shared_ptr<HelperTransport> m_transport;
    std::shared_ptr<HelperDiskNaming> m_naming;
};

#ifdef VORN_HAVE_LIBDBUS

// The few libdbus entry points the client needs, resolved from the library
// the system bus daemon itself ships.
struct LibDbus {
#define VORN_DBUS_FN(name) decltype(&::name) name = nullptr
    VORN_DBUS_FN(dbus_error_init);
    VORN_DBUS_FN(dbus_error_free);
    VORN_DBUS_FN(dbus_error_is_set);
    VORN_DBUS_FN(dbus_bus_get_private);
    VORN_DBUS_FN(dbus_bus_name_has_owner);
    VORN_DBUS_FN(dbus_connection_set_exit_on_disconnect);
    VORN_DBUS_FN(dbus_connection_send_with_reply_and_block);
    VORN_DBUS_FN(dbus_connection_close);
    VORN_DBUS_FN(dbus_connection_unref);
    VORN_DBUS_FN(dbus_message_new_method_call);
    VORN_DBUS_FN(dbus_message_append_args);
    VORN_DBUS_FN(dbus_message_get_args);
    VORN_DBUS_FN(dbus_message_unref);
    VORN_DBUS_FN(dbus_free_string_array);
#undef VORN_DBUS_FN

    static const LibDbus* instance() {
        static const LibDbus* loaded = load();
        return loaded;
    }

private:
    static const LibDbus* load() {
        void* handle = ::dlopen("libdbus-1.so.3", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return nullptr;
        static LibDbus lib;
        bool ok = true;
        const auto resolve = [&](auto& slot, const char* name) {
            slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(::dlsym(handle, name));
            ok = ok && slot;
        };
#define VORN_DBUS_RESOLVE(name) resolve(lib.name, #name)
        VORN_DBUS_RESOLVE(dbus_error_init);
        VORN_DBUS_RESOLVE(dbus_error_free);
        VORN_DBUS_RESOLVE(dbus_error_is_set);
        VORN_DBUS_RESOLVE(dbus_bus_get_private);
        VORN_DBUS_RESOLVE(dbus_bus_name_has_owner);
        VORN_DBUS_RESOLVE(dbus_connection_set_exit_on_disconnect);
        VORN_DBUS_RESOLVE(dbus_connection_send_with_reply_and_block);
        VORN_DBUS_RESOLVE(dbus_connection_close);
        VORN_DBUS_RESOLVE(dbus_connection_unref);
        VORN_DBUS_RESOLVE(dbus_message_new_method_call);
        VORN_DBUS_RESOLVE(dbus_message_append_args);
        VORN_DBUS_RESOLVE(dbus_message_get_args);
        VORN_DBUS_RESOLVE(dbus_message_unref);
        VORN_DBUS_RESOLVE(dbus_free_string_array);
#undef VORN_DBUS_RESOLVE
        // The handle stays loaded for the life of the process: the connection
        // below may outlive any one caller.
        return ok ? &lib : nullptr;
    }
};

// A password prompt for switching S.M.A.R.T. may keep a request waiting.
constexpr int kCallTimeoutMs = 120000;

class ScopedError {
public:
    explicit ScopedError(const LibDbus& lib) : m_lib(lib) { m_lib.dbus_error_init(&m_error); }
    ~ScopedError() { m_lib.dbus_error_free(&m_error); }
    DBusError* get() { return &m_error; }
    bool isSet() { return m_lib.dbus_error_is_set(&m_error); }
    QString name() const { return QString::fromUtf8(m_error.name); }

private:
    const LibDbus& m_lib;
    DBusError m_error;
};

class MessageRef {
public:
    MessageRef(const LibDbus& lib, DBusMessage* message) : m_lib(lib), m_message(message) {}
    MessageRef(const MessageRef&) = delete;
    MessageRef& operator=(const MessageRef&) = delete;
    ~MessageRef() {
        if (m_message)
            m_lib.dbus_message_unref(m_message);
    }
    DBusMessage* get() const { return m_message; }

private:
    const LibDbus& m_lib;
    DBusMessage* m_message;
};

class SystemBusTransport : public HelperTransport {
public:
    SystemBusTransport(const LibDbus& lib, DBusConnection* connection)
        : m_lib(lib), m_connection(connection) {}
    ~SystemBusTransport() override {
        m_lib.dbus_connection_close(m_connection);
        m_lib.dbus_connection_unref(m_connection);
    }

    bool helperOffered() {
        ScopedError error(m_lib);
        if (m_lib.dbus_bus_name_has_owner(m_connection, helper::kBusName, error.get()))
            return true;
        MessageRef call(m_lib, m_lib.dbus_message_new_method_call(DBUS_SERVICE_DBUS, DBUS_PATH_DBUS,
                                                                  DBUS_INTERFACE_DBUS,
                                                                  "ListActivatableNames"));
        if (!call.get())
            return false;
        ScopedError callError(m_lib);
        MessageRef reply(m_lib, m_lib.dbus_connection_send_with_reply_and_block(
                                    m_connection, call.get(), kCallTimeoutMs, callError.get()));
        char** names = nullptr;
        int count = 0;
        ScopedError argsError(m_lib);
        if (!reply.get() ||
            !m_lib.dbus_message_get_args(reply.get(), argsError.get(), DBUS_TYPE_ARRAY,
                                         DBUS_TYPE_STRING, &names, &count, DBUS_TYPE_INVALID))
            return false;
        bool found = false;
        for (int i = 0; i < count; ++i)
            found = found || qstrcmp(names[i], helper::kBusName) == 0;
        m_lib.dbus_free_string_array(names);
        return found;
    }

    HelperReply checkDisk(const QString& disk) override {
        return call(helper::kCheckDiskMethod, disk, nullptr);
    }
    HelperReply execute(const QString& disk, const QByteArray& request) override {
        return call(helper::kExecuteMethod, disk, &request);
    }

private:
    HelperReply call(const char* method, const QString& disk, const QByteArray* request) {
        std::lock_guard<std::mutex> lock(m_mutex);
        HelperReply result;
        result.errorName = QStringLiteral("org.freedesktop.DBus.Error.NoMemory");
        MessageRef message(m_lib,
                           m_lib.dbus_message_new_method_call(helper::kBusName, helper::kObjectPath,
                                                              helper::kInterface, method));
        if (!message.get())
            return result;
        const QByteArray name = disk.toUtf8();
        const char* namePtr = name.constData();
        const unsigned char* bytes =
            request ? reinterpret_cast<const unsigned char*>(request->constData()) : nullptr;
        const int size = request ? int(request->size()) : 0;
        const bool appended =
            request ? m_lib.dbus_message_append_args(message.get(), DBUS_TYPE_STRING, &namePtr,
                                                     DBUS_TYPE_ARRAY, DBUS_TYPE_BYTE, &bytes, size,
                                                     DBUS_TYPE_INVALID)
                    : m_lib.dbus_message_append_args(message.get(), DBUS_TYPE_STRING, &namePtr,
                                                     DBUS_TYPE_INVALID);
        if (!appended)
            return result;
        ScopedError error(m_lib);
        MessageRef reply(m_lib, m_lib.dbus_connection_send_with_reply_and_block(
                                    m_connection, message.get(), kCallTimeoutMs, error.get()));
        if (!reply.get()) {
            result.errorName = error.isSet() ? error.name() : QStringLiteral("unknown");
            return result;
        }
        result.errorName.clear();
        if (!request)
            return result;
        const unsigned char* replyBytes = nullptr;
        int replySize = 0;
        ScopedError argsError(m_lib);
        if (!m_lib.dbus_message_get_args(reply.get(), argsError.get(), DBUS_TYPE_ARRAY,
                                         DBUS_TYPE_BYTE, &replyBytes, &replySize,
                                         DBUS_TYPE_INVALID)) {
            result.errorName = argsError.name();
            return result;
        }
        result.bytes = QByteArray(reinterpret_cast<const char*>(replyBytes), replySize);
        return result;
    }

    const LibDbus& m_lib;
    DBusConnection* m_connection;
    std::mutex m_mutex;
};

#endif // VORN_HAVE_LIBDBUS

} // namespace

std::shared_ptr<HelperDiskNaming> makeSysfsDiskNaming(const QString& sysRoot) {
    return std::make_shared<SysfsNaming>(sysRoot);
}

QString simKernelNameOf(const SimDisk& disk) {
    return disk.device.nvme ? helper::simNvmeKernelName(disk.index(), disk.device.nvmeNamespace)
                            : helper::simDiskKernelName(disk.index());
}

std::shared_ptr<HelperDiskNaming> makeSimDiskNaming(std::shared_ptr<const SimMachine> machine) {
    return std::make_shared<SimNaming>(std::move(machine));
}

std::shared_ptr<HelperTransport> connectSystemBusHelper() {
#ifdef VORN_HAVE_LIBDBUS
    const LibDbus* lib = LibDbus::instance();
    if (!lib)
        return nullptr;
    ScopedError error(*lib);
    DBusConnection* connection = lib->dbus_bus_get_private(DBUS_BUS_SYSTEM, error.get());
    if (!connection)
        return nullptr;
    // libdbus would otherwise end the whole process when the bus goes away.
    lib->dbus_connection_set_exit_on_disconnect(connection, false);
    auto transport = std::make_shared<SystemBusTransport>(*lib, connection);
    if (!transport->helperOffered())
        return nullptr;
    return transport;
#else
    return nullptr;
#endif
}

std::shared_ptr<DeviceBackend> makeHelperBackend(std::shared_ptr<HelperTransport> transport,
                                                 std::shared_ptr<HelperDiskNaming> naming) {
    return std::make_shared<HelperBackend>(std::move(transport), std::move(naming));
}

} // namespace vorn::platform
