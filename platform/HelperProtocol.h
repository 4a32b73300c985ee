#pragma once

#include "DeviceBackend.h"
#include "VornPlatformExport.h"

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
// S.M.A.R.T. and starting or aborting a self-test (which can occupy a disk
// for hours) need an administrator.
inline constexpr char kReadAction[] = "org.vorn.diskhelper.read";
inline constexpr char kConfigureAction[] = "org.vorn.diskhelper.configure";
inline constexpr char kSelfTestAction[] = "org.vorn.diskhelper.selftest";

// Errors of kInterface, and the errno value a client turns each into.
inline constexpr char kErrorInvalidRequest[] = "org.vorn.DiskHelper1.Error.InvalidRequest";
inline constexpr char kErrorRefused[] = "org.vorn.DiskHelper1.Error.Refused";
inline constexpr char kErrorInvalidDisk[] = "org.vorn.DiskHelper1.Error.InvalidDisk";
inline constexpr char kErrorNotAuthorized[] = "org.vorn.DiskHelper1.Error.NotAuthorized";
inline constexpr char kErrorOpenFailed[] = "org.vorn.DiskHelper1.Error.OpenFailed";
inline constexpr char kErrorBusy[] = "org.vorn.DiskHelper1.Error.Busy";
VORNPLATFORM_API int errnoOfError(const QString& errorName);

// Request bytes: format version, kind, then the kind's payload.
//   ATA:  7 registers in AtaRegisters order, flags (bit 0: 512 bytes in).
//   NVMe: opcode, then nsid, cdw10 to cdw15 and the data length as 32-bit
//         little-endian words.
//   Wide ATA (a 48-bit command, or one of more than one block): 7 registers,
//         flags (bit 0: data in, bit 1: 48-bit), the 7 high-order registers,
//         the block count as a 16-bit little-endian word (1 to kMaxAtaBlocks).
// A command that fits the plain ATA form is always sent in it.
inline constexpr BYTE kRequestFormat = 1;
enum class RequestKind : BYTE {
    Ata = 1,
    NvmeAdmin = 2,
    AtaWide = 3,
};
inline constexpr std::size_t kAtaRequestSize = 10;
inline constexpr std::size_t kAtaWideRequestSize = 19;
inline constexpr std::size_t kNvmeRequestSize = 35;
// No admin command the suite reads returns more than an Identify structure;
// a longer request is malformed, so the helper never sizes a buffer from a
// caller's number.
inline constexpr DWORD kMaxNvmeDataLength = 4096;

struct DecodedRequest {
    enum Status { Ok, Malformed } status = Malformed;
    RequestKind kind = RequestKind::Ata;
    AtaCommand ata;        // when kind is Ata or AtaWide and status Ok
    NvmeAdminCommand nvme; // when kind is NvmeAdmin and status Ok
};

VORNPLATFORM_API QByteArray encodeAtaRequest(const AtaCommand& command);
VORNPLATFORM_API QByteArray encodeNvmeRequest(const NvmeAdminCommand& command);
VORNPLATFORM_API DecodedRequest decodeRequest(const BYTE* bytes, std::size_t size);

// The polkit action a decoded request needs, or null when it is refused
// whoever asks. The allow-lists are the suite's ATA and NVMe
// classifications; every NVMe command on the list only reads.
VORNPLATFORM_API std::optional<QString> actionFor(const DecodedRequest& request);

// Reply bytes: transport errno (int32, little-endian), 7 returned registers,
// then the command's dataLength() bytes exactly when it read data and the
// transport succeeded.
VORNPLATFORM_API QByteArray encodeAtaReply(const AtaOutcome& outcome, const BYTE* data,
                                           DWORD dataLength = kSectorSize);
// False when the reply does not have the shape the command calls for.
VORNPLATFORM_API bool decodeAtaReply(const QByteArray& reply, const AtaCommand& command,
                                     AtaOutcome* outcome, BYTE* data);

// NVMe reply bytes: transport errno (int32), completion status (uint16) and
// dword 0 (uint32), little-endian, then command.dataLength data bytes exactly
// when the command succeeded.
VORNPLATFORM_API QByteArray encodeNvmeReply(const NvmeOutcome& outcome, const BYTE* data,
                                            DWORD dataLength);
// False when the reply does not have the shape the command calls for; data
// is written only by a reply that carries it.
VORNPLATFORM_API bool decodeNvmeReply(const QByteArray& reply, const NvmeAdminCommand& command,
                                      NvmeOutcome* outcome, BYTE* data);

// --- Disk names ------------------------------------------------------------

// A whole-disk kernel name the helper accepts: at most 31 characters, of a
// family on its allow-list (SCSI disks "sd<letters>", which include SATA,
// SAS and USB disks, and whole NVMe namespaces "nvme<C>n<N>"). Every other
// driver's disks are refused, whatever they are called. Says nothing about
// whether the disk exists.
VORNPLATFORM_API bool isAcceptableDiskName(const QString& name);

// An acceptable name that is a whole NVMe namespace (nvme0n1): not a
// partition, not a controller, not one path of a multipath namespace. NVMe
// admin commands go to nothing else.
VORNPLATFORM_API bool isNvmeNamespaceName(const QString& name);

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
VORNPLATFORM_API bool nodeServesDisk(const NodeFacts& node, unsigned long long expectedRdev,
                                     const QString& devRoot);

// True when path lies strictly inside root (both without symlinks).
VORNPLATFORM_API bool isPathUnder(const QString& path, const QString& root);

// "major:minor" as in /sys/block/<disk>/dev, as a device number.
VORNPLATFORM_API std::optional<unsigned long long> parseSysfsDevNumber(const QByteArray& text);

// The /dev node of a kernel name (sysfs writes a "/" in the name as "!").
VORNPLATFORM_API QString deviceNodePath(const QString& devRoot, const QString& kernelName);

// The kernel name a simulated disk goes by on the bus: sda, sdb, ... by its
// index, in the kernel's own lettering (index 26 is sdaa); an NVMe disk is
// nvme<index>n<namespace id>.
VORNPLATFORM_API QString simDiskKernelName(int index);
VORNPLATFORM_API QString simNvmeKernelName(int index, DWORD namespaceId);

} // namespace vorn::platform::helper
