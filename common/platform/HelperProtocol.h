#pragma once

#include "../VornComExport.h"
#include "DeviceBackend.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <optional>

// What the unprivileged programs and the privileged disk helper say to each
// other on the system bus. Both sides build and read the request and reply
// bytes with these functions only; they are pure, so that a fuzzer can throw
// arbitrary bytes at the helper's side of them.
namespace vorn::platform::helper {

inline constexpr char kBusName[] = "org.vorn.DiskHelper1";
inline constexpr char kObjectPath[] = "/org/vorn/DiskHelper1";
inline constexpr char kInterface[] = "org.vorn.DiskHelper1";

// Methods of kInterface:
//   CheckDisk(s disk)                 the disk is valid and opens read-only
//   Execute(s disk, ay request) -> ay reply
inline constexpr char kCheckDiskMethod[] = "CheckDisk";
inline constexpr char kExecuteMethod[] = "Execute";

// polkit actions: reading needs no password in a local session, switching
// S.M.A.R.T. needs an administrator.
inline constexpr char kReadAction[] = "org.vorn.diskhelper.read";
inline constexpr char kConfigureAction[] = "org.vorn.diskhelper.configure";

// Errors of kInterface, and the errno value a client turns each into.
inline constexpr char kErrorInvalidRequest[] = "org.vorn.DiskHelper1.Error.InvalidRequest";
inline constexpr char kErrorRefused[] = "org.vorn.DiskHelper1.Error.Refused";
inline constexpr char kErrorInvalidDisk[] = "org.vorn.DiskHelper1.Error.InvalidDisk";
inline constexpr char kErrorNotAuthorized[] = "org.vorn.DiskHelper1.Error.NotAuthorized";
inline constexpr char kErrorOpenFailed[] = "org.vorn.DiskHelper1.Error.OpenFailed";
inline constexpr char kErrorBusy[] = "org.vorn.DiskHelper1.Error.Busy";
VORNCOM_API int errnoOfError(const QString& errorName);

// Request bytes: format version, kind, then the kind's payload.
//   ATA:  7 registers in AtaRegisters order, flags (bit 0: 512 bytes in).
inline constexpr BYTE kRequestFormat = 1;
enum class RequestKind : BYTE {
    Ata = 1,
    // Reserved for one NVMe admin command (Identify, the health, error and
    // self-test log pages); decoded as Unsupported until NVMe support lands.
    NvmeAdmin = 2,
};
inline constexpr std::size_t kAtaRequestSize = 10;

struct DecodedRequest {
    enum Status { Ok, Malformed, Unsupported } status = Malformed;
    RequestKind kind = RequestKind::Ata;
    AtaCommand ata; // when kind is Ata and status Ok
};

VORNCOM_API QByteArray encodeAtaRequest(const AtaCommand& command);
VORNCOM_API DecodedRequest decodeRequest(const BYTE* bytes, std::size_t size);

// The polkit action a decoded request needs, or null when it is refused
// whoever asks. The allow-list is the suite's ATA classification.
VORNCOM_API std::optional<QString> actionFor(const DecodedRequest& request);

// Reply bytes: transport errno (int32, little-endian), 7 returned registers,
// then 512 data bytes exactly when the command read data and the transport
// succeeded.
VORNCOM_API QByteArray encodeAtaReply(const AtaOutcome& outcome, const BYTE* data);
// False when the reply does not have the shape the command calls for.
VORNCOM_API bool decodeAtaReply(const QByteArray& reply, const AtaCommand& command,
                                AtaOutcome* outcome, BYTE* data);

// --- Disk names ------------------------------------------------------------

// Syntax of a whole-disk kernel name the helper accepts: 1 to 31 characters
// of [a-z0-9!_-], starting with a letter, of no virtual or removable-media
// family. Says nothing about whether the disk exists.
VORNCOM_API bool isAcceptableDiskName(const QString& name);

// What the helper learnt about a device node after opening it.
struct NodeFacts {
    QString canonicalPath; // all symlinks resolved
    bool blockDevice = false;
    unsigned ownerUid = 0;
    unsigned long long rdev = 0; // the node's device number
};

// The node may serve as the disk when it is a block device owned by root,
// lies under devRoot once resolved, and carries the device number sysfs gives
// for the disk (so a node made elsewhere, or for a partition, does not pass).
VORNCOM_API bool nodeServesDisk(const NodeFacts& node, unsigned long long expectedRdev,
                                const QString& devRoot);

// True when path lies strictly inside root (both without symlinks).
VORNCOM_API bool isPathUnder(const QString& path, const QString& root);

// "major:minor" as in /sys/block/<disk>/dev, as a device number.
VORNCOM_API std::optional<unsigned long long> parseSysfsDevNumber(const QByteArray& text);

// The /dev node of a kernel name (sysfs writes a "/" in the name as "!").
VORNCOM_API QString deviceNodePath(const QString& devRoot, const QString& kernelName);

// The kernel name a simulated disk goes by on the bus: sda, sdb, ... by its
// index, in the kernel's own lettering (index 26 is sdaa).
VORNCOM_API QString simDiskKernelName(int index);

} // namespace vorn::platform::helper
