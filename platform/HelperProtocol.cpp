#include "HelperProtocol.h"

#include "AtaCommandSet.h"
#include "ByteOrder.h"
#include "DiskEnumeration.h"
#include "NvmeCommandSet.h"

#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

namespace vorn::platform::helper {

namespace {

constexpr std::size_t kReplyHeaderSize = 4 + kAtaRegisterBytes;
constexpr BYTE kFlagDataIn = 0x01;
constexpr BYTE kFlagExtended = 0x02;

// Format, kind, then the registers and the flags byte; or the opcode and
// eight 32-bit words.
static_assert(kAtaRequestSize == 2 + kAtaRegisterBytes + 1);
static_assert(kAtaWideRequestSize == 2 + kAtaRegisterBytes + 1 + kAtaRegisterBytes + 2);
static_assert(kNvmeRequestSize == 2 + 1 + 8 * 4);

bool wantsData(const AtaCommand& command, const AtaOutcome& outcome) {
    return command.dataIn && outcome.transportError == 0;
}

constexpr std::size_t kNvmeReplyHeaderSize = 4 + 2 + 4;

} // namespace

int errnoOfError(const QString& errorName) {
    if (errorName == QLatin1String(kErrorNotAuthorized))
        return EACCES;
    if (errorName == QLatin1String(kErrorRefused))
        return EPERM;
    if (errorName == QLatin1String(kErrorInvalidDisk))
        return ENODEV;
    if (errorName == QLatin1String(kErrorInvalidRequest))
        return EINVAL;
    if (errorName == QLatin1String(kErrorOpenFailed))
        return ENXIO;
    if (errorName == QLatin1String(kErrorBusy))
        return EBUSY;
    return EIO; // the bus, or a helper that went away
}

namespace {
bool needsWideForm(const AtaCommand& command) {
    return command.extended || command.blocks != 1;
}
} // namespace

QByteArray encodeAtaRequest(const AtaCommand& command) {
    if (needsWideForm(command)) {
        QByteArray bytes(int(kAtaWideRequestSize), '\0');
        BYTE* out = reinterpret_cast<BYTE*>(bytes.data());
        out[0] = kRequestFormat;
        out[1] = BYTE(RequestKind::AtaWide);
        putAtaRegisters(command.registers, out + 2);
        out[9] = BYTE((command.dataIn ? kFlagDataIn : 0) | (command.extended ? kFlagExtended : 0));
        putAtaRegisters(command.previous, out + 10);
        le::write16(out, kAtaWideRequestSize, 17, command.blocks);
        return bytes;
    }
    QByteArray bytes(int(kAtaRequestSize), '\0');
    BYTE* out = reinterpret_cast<BYTE*>(bytes.data());
    out[0] = kRequestFormat;
    out[1] = BYTE(RequestKind::Ata);
    putAtaRegisters(command.registers, out + 2);
    out[9] = command.dataIn ? kFlagDataIn : 0;
    return bytes;
}

QByteArray encodeNvmeRequest(const NvmeAdminCommand& command) {
    QByteArray bytes(int(kNvmeRequestSize), '\0');
    BYTE* out = reinterpret_cast<BYTE*>(bytes.data());
    out[0] = kRequestFormat;
    out[1] = BYTE(RequestKind::NvmeAdmin);
    out[2] = command.opcode;
    const DWORD words[] = {command.nsid,  command.cdw10, command.cdw11, command.cdw12,
                           command.cdw13, command.cdw14, command.cdw15, command.dataLength};
    for (std::size_t i = 0; i < std::size(words); ++i)
        le::write32(out, kNvmeRequestSize, 3 + 4 * i, words[i]);
    return bytes;
}

DecodedRequest decodeRequest(const BYTE* bytes, std::size_t size) {
    DecodedRequest request;
    if (!bytes || size < 2 || bytes[0] != kRequestFormat)
        return request;
    switch (bytes[1]) {
    case BYTE(RequestKind::Ata):
        // Unknown flag bits are refused rather than ignored, so that a later
        // meaning of them cannot slip past an older helper.
        if (size != kAtaRequestSize || (bytes[9] & ~kFlagDataIn))
            return request;
        request.kind = RequestKind::Ata;
        request.ata.registers = takeAtaRegisters(bytes + 2);
        request.ata.dataIn = bytes[9] & kFlagDataIn;
        request.status = DecodedRequest::Ok;
        return request;
    case BYTE(RequestKind::AtaWide): {
        if (size != kAtaWideRequestSize || (bytes[9] & ~(kFlagDataIn | kFlagExtended)))
            return request;
        AtaCommand& c = request.ata;
        c.registers = takeAtaRegisters(bytes + 2);
        c.dataIn = bytes[9] & kFlagDataIn;
        c.extended = bytes[9] & kFlagExtended;
        c.previous = takeAtaRegisters(bytes + 10);
        c.blocks = le::read16(bytes, size, 17);
        // The helper sizes its buffer by this number: never past the largest
        // transfer, and never a wide request that the plain form would carry.
        if (c.blocks == 0 || c.blocks > kMaxAtaBlocks || !needsWideForm(c))
            return request;
        request.kind = RequestKind::AtaWide;
        request.status = DecodedRequest::Ok;
        return request;
    }
    case BYTE(RequestKind::NvmeAdmin): {
        if (size != kNvmeRequestSize)
            return request;
        NvmeAdminCommand& c = request.nvme;
        c.opcode = bytes[2];
        DWORD* const words[] = {&c.nsid,  &c.cdw10, &c.cdw11, &c.cdw12,
                                &c.cdw13, &c.cdw14, &c.cdw15, &c.dataLength};
        for (std::size_t i = 0; i < std::size(words); ++i)
            *words[i] = le::read32(bytes, size, 3 + 4 * i);
        if (c.dataLength > kMaxNvmeDataLength)
            return request;
        request.kind = RequestKind::NvmeAdmin;
        request.status = DecodedRequest::Ok;
        return request;
    }
    default:
        return request;
    }
}

std::optional<QString> actionFor(const DecodedRequest& request) {
    if (request.status != DecodedRequest::Ok)
        return std::nullopt;
    if (request.kind == RequestKind::NvmeAdmin) {
        switch (nvme::classifyCommand(request.nvme)) {
        case nvme::CommandClass::Read:
            return QString::fromLatin1(kReadAction);
        case nvme::CommandClass::SelfTest:
            return QString::fromLatin1(kSelfTestAction);
        case nvme::CommandClass::Refused:
            break;
        }
        return std::nullopt;
    }
    switch (ata::classifyCommand(request.ata)) {
    case ata::CommandClass::Read:
        return QString::fromLatin1(kReadAction);
    case ata::CommandClass::Configure:
        return QString::fromLatin1(kConfigureAction);
    case ata::CommandClass::SelfTest:
        return QString::fromLatin1(kSelfTestAction);
    case ata::CommandClass::Refused:
        break;
    }
    return std::nullopt;
}

QByteArray encodeAtaReply(const AtaOutcome& outcome, const BYTE* data, DWORD dataLength) {
    QByteArray bytes(int(kReplyHeaderSize), '\0');
    BYTE* out = reinterpret_cast<BYTE*>(bytes.data());
    le::write32(out, kReplyHeaderSize, 0, static_cast<quint32>(outcome.transportError));
    putAtaRegisters(outcome.returned, out + 4);
    if (data && outcome.transportError == 0 && dataLength <= DWORD(kMaxAtaBlocks) * kSectorSize)
        bytes.append(reinterpret_cast<const char*>(data), int(dataLength));
    return bytes;
}

bool decodeAtaReply(const QByteArray& reply, const AtaCommand& command, AtaOutcome* outcome,
                    BYTE* data) {
    if (reply.size() < int(kReplyHeaderSize))
        return false;
    const BYTE* in = reinterpret_cast<const BYTE*>(reply.constData());
    AtaOutcome decoded;
    decoded.transportError = static_cast<int>(le::read32(in, kReplyHeaderSize, 0));
    decoded.returned = takeAtaRegisters(in + 4);
    const DWORD length = command.dataLength();
    if (length > DWORD(kMaxAtaBlocks) * kSectorSize)
        return false;
    const int expected = int(kReplyHeaderSize) + (wantsData(command, decoded) ? int(length) : 0);
    if (reply.size() != expected || decoded.transportError < 0)
        return false;
    if (wantsData(command, decoded))
        std::memcpy(data, in + kReplyHeaderSize, length);
    *outcome = decoded;
    return true;
}

QByteArray encodeNvmeReply(const NvmeOutcome& outcome, const BYTE* data, DWORD dataLength) {
    QByteArray bytes(int(kNvmeReplyHeaderSize), '\0');
    BYTE* out = reinterpret_cast<BYTE*>(bytes.data());
    le::write32(out, kNvmeReplyHeaderSize, 0, static_cast<quint32>(outcome.transportError));
    le::write16(out, kNvmeReplyHeaderSize, 4, outcome.status);
    le::write32(out, kNvmeReplyHeaderSize, 6, outcome.result);
    if (data && outcome.succeeded() && dataLength <= kMaxNvmeDataLength)
        bytes.append(reinterpret_cast<const char*>(data), int(dataLength));
    return bytes;
}

bool decodeNvmeReply(const QByteArray& reply, const NvmeAdminCommand& command, NvmeOutcome* outcome,
                     BYTE* data) {
    if (reply.size() < int(kNvmeReplyHeaderSize) || command.dataLength > kMaxNvmeDataLength)
        return false;
    const BYTE* in = reinterpret_cast<const BYTE*>(reply.constData());
    NvmeOutcome decoded;
    decoded.transportError = static_cast<int>(le::read32(in, kNvmeReplyHeaderSize, 0));
    decoded.status = le::read16(in, kNvmeReplyHeaderSize, 4);
    decoded.result = le::read32(in, kNvmeReplyHeaderSize, 6);
    const bool withData = decoded.succeeded() && command.dataLength > 0;
    const int expected = int(kNvmeReplyHeaderSize) + (withData ? int(command.dataLength) : 0);
    if (reply.size() != expected || decoded.transportError < 0)
        return false;
    if (withData)
        std::memcpy(data, in + kNvmeReplyHeaderSize, command.dataLength);
    *outcome = decoded;
    return true;
}

namespace {

// "sd" and one or more letters: a disk of the SCSI disk driver, which is
// how the kernel names SATA and SAS disks, and USB disks behind a bridge as
// well. Partitions (sda1) end in digits and do not match.
bool isScsiDiskName(const QString& name) {
    if (name.size() < 3 || !name.startsWith(QLatin1String("sd")))
        return false;
    for (qsizetype i = 2; i < name.size(); ++i) {
        const char16_t u = name.at(i).unicode();
        if (u < 'a' || u > 'z')
            return false;
    }
    return true;
}

bool isWholeNvmeNamespace(const QString& name) {
    const std::optional<NvmeNamespaceName> parts = parseNvmeNamespaceName(name);
    return parts && !parts->throughPath;
}

// The families whose disks take the suite's pass-through: every other block
// driver (network, memory, card readers, stacked and virtual devices) is
// refused, including families the kernel adds later. A family joins here
// only with the commands it takes. USB disks need no entry of their own:
// they are sd disks, and whether their bridge passes ATA commands is for
// the device layer to find out.
using FamilyTest = bool (*)(const QString&);
constexpr FamilyTest kWholeDiskFamilies[] = {
    isScsiDiskName,
    isWholeNvmeNamespace,
};

} // namespace

bool isAcceptableDiskName(const QString& name) {
    if (name.isEmpty() || name.size() > 31 || !name.at(0).isLower())
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9');
        if (!ok)
            return false;
    }
    return std::any_of(std::begin(kWholeDiskFamilies), std::end(kWholeDiskFamilies),
                       [&name](FamilyTest family) { return family(name); }) &&
           isPhysicalDiskName(name);
}

bool isNvmeNamespaceName(const QString& name) {
    return isAcceptableDiskName(name) && isWholeNvmeNamespace(name);
}

bool isPathUnder(const QString& path, const QString& root) {
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    return path.startsWith(prefix) && path.size() > prefix.size();
}

bool nodeServesDisk(const NodeFacts& node, unsigned long long expectedRdev,
                    const QString& devRoot) {
    return node.blockDevice && node.ownerUid == 0 && node.rdev == expectedRdev &&
           isPathUnder(node.canonicalPath, devRoot);
}

std::optional<unsigned long long> parseSysfsDevNumber(const QByteArray& text) {
    const QList<QByteArray> parts = text.trimmed().split(':');
    if (parts.size() != 2)
        return std::nullopt;
    bool majorOk = false;
    bool minorOk = false;
    const uint major = parts[0].toUInt(&majorOk);
    const uint minor = parts[1].toUInt(&minorOk);
    if (!majorOk || !minorOk)
        return std::nullopt;
    return static_cast<unsigned long long>(makedev(major, minor));
}

QString deviceNodePath(const QString& devRoot, const QString& kernelName) {
    QString relative = kernelName;
    return devRoot + QLatin1Char('/') + relative.replace(QLatin1Char('!'), QLatin1Char('/'));
}

QString simDiskKernelName(int index) {
    if (index < 0)
        return QString();
    // Bijective base 26, as the kernel letters sd devices.
    QString letters;
    for (int n = index + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'a' + (n - 1) % 26));
    return QStringLiteral("sd") + letters;
}

QString simNvmeKernelName(int index, DWORD namespaceId) {
    if (index < 0)
        return QString();
    return QStringLiteral("nvme%1n%2").arg(index).arg(namespaceId);
}

} // namespace vorn::platform::helper
