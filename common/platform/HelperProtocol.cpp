#include "HelperProtocol.h"

#include "AtaCommandSet.h"
#include "DiskEnumeration.h"

#include <sys/sysmacros.h>

#include <cerrno>
#include <cstring>

namespace vorn::platform::helper {

namespace {

constexpr std::size_t kRegisterCount = 7;
constexpr std::size_t kReplyHeaderSize = 4 + kRegisterCount;
constexpr BYTE kFlagDataIn = 0x01;

void putRegisters(const AtaRegisters& r, BYTE* out) {
    const BYTE values[kRegisterCount] = {r.feature, r.sectorCount, r.lbaLow, r.lbaMid,
                                         r.lbaHigh, r.device,      r.command};
    std::memcpy(out, values, kRegisterCount);
}

AtaRegisters takeRegisters(const BYTE* in) {
    return AtaRegisters{in[0], in[1], in[2], in[3], in[4], in[5], in[6]};
}

bool wantsData(const AtaCommand& command, const AtaOutcome& outcome) {
    return command.dataIn && outcome.transportError == 0;
}

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

QByteArray encodeAtaRequest(const AtaCommand& command) {
    QByteArray bytes(int(kAtaRequestSize), '\0');
    BYTE* out = reinterpret_cast<BYTE*>(bytes.data());
    out[0] = kRequestFormat;
    out[1] = BYTE(RequestKind::Ata);
    putRegisters(command.registers, out + 2);
    out[9] = command.dataIn ? kFlagDataIn : 0;
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
        request.ata.registers = takeRegisters(bytes + 2);
        request.ata.dataIn = bytes[9] & kFlagDataIn;
        request.status = DecodedRequest::Ok;
        return request;
    case BYTE(RequestKind::NvmeAdmin):
        request.kind = RequestKind::NvmeAdmin;
        request.status = DecodedRequest::Unsupported;
        return request;
    default:
        return request;
    }
}

std::optional<QString> actionFor(const DecodedRequest& request) {
    if (request.status != DecodedRequest::Ok || request.kind != RequestKind::Ata)
        return std::nullopt;
    switch (ata::classifyCommand(request.ata)) {
    case ata::CommandClass::Read:
        return QString::fromLatin1(kReadAction);
    case ata::CommandClass::Configure:
        return QString::fromLatin1(kConfigureAction);
    case ata::CommandClass::Refused:
        break;
    }
    return std::nullopt;
}

QByteArray encodeAtaReply(const AtaOutcome& outcome, const BYTE* data) {
    QByteArray bytes(int(kReplyHeaderSize), '\0');
    BYTE* out = reinterpret_cast<BYTE*>(bytes.data());
    const auto error = static_cast<quint32>(outcome.transportError);
    for (int i = 0; i < 4; ++i)
        out[i] = BYTE(error >> (8 * i));
    putRegisters(outcome.returned, out + 4);
    if (data && outcome.transportError == 0)
        bytes.append(reinterpret_cast<const char*>(data), kSectorSize);
    return bytes;
}

bool decodeAtaReply(const QByteArray& reply, const AtaCommand& command, AtaOutcome* outcome,
                    BYTE* data) {
    if (reply.size() < int(kReplyHeaderSize))
        return false;
    const BYTE* in = reinterpret_cast<const BYTE*>(reply.constData());
    quint32 error = 0;
    for (int i = 0; i < 4; ++i)
        error |= quint32(in[i]) << (8 * i);
    AtaOutcome decoded;
    decoded.transportError = static_cast<int>(error);
    decoded.returned = takeRegisters(in + 4);
    const int expected = int(kReplyHeaderSize) + (wantsData(command, decoded) ? kSectorSize : 0);
    if (reply.size() != expected || decoded.transportError < 0)
        return false;
    if (wantsData(command, decoded))
        std::memcpy(data, in + kReplyHeaderSize, kSectorSize);
    *outcome = decoded;
    return true;
}

bool isAcceptableDiskName(const QString& name) {
    if (name.isEmpty() || name.size() > 31 || !name.at(0).isLower())
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool ok =
            (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '!' || u == '_' || u == '-';
        if (!ok)
            return false;
    }
    return isPhysicalDiskName(name);
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

} // namespace vorn::platform::helper
