#include "SimMachine.h"

#include "LeadingNumber.h"
#include "TextConvert.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace vorn::platform {

namespace {

// One "Key=Value" line of an ini file with the section it stands in.
struct IniEntry {
    int line = 0;
    QString section;
    QString key;
    QString value;
};

bool fail(SimParseError* error, int line, const QString& message) {
    if (error) {
        error->line = line;
        error->message = message;
    }
    return false;
}

// A control byte would cut or garble the one line on standard error, so
// only printable ASCII is shown as itself.
QString unexpectedByte(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    if (value > 0x20 && value < 0x7F)
        return QStringLiteral("unexpected character '%1'").arg(QLatin1Char(byte));
    return QStringLiteral("unexpected byte 0x%1").arg(value, 2, 16, QLatin1Char('0'));
}

// The white space of the C locale, whatever locale the process runs in.
bool isAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

QByteArrayView trimmedAscii(QByteArrayView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isAsciiSpace(text[first]))
        ++first;
    while (last > first && isAsciiSpace(text[last - 1]))
        --last;
    return text.sliced(first, last - first);
}

bool isAscii(QByteArrayView text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The key folded to lower case as Qt folds it, the common ASCII case without
// Qt's Unicode tables: one fold per line of every disk file.
std::string foldedKey(const QString& key) {
    std::string folded;
    folded.reserve(std::size_t(key.size()));
    for (const QChar ch : key) {
        if (ch.unicode() >= 0x80)
            return key.toLower().toStdString();
        folded.push_back(static_cast<char>(ch.unicode() >= 'A' && ch.unicode() <= 'Z'
                                               ? ch.unicode() + ('a' - 'A')
                                               : ch.unicode()));
    }
    return folded;
}

// Splits ini text into entries. Sections and keys are kept as written;
// ';' and '#' start comment lines. A key is allowed once per section.
bool splitIni(const QByteArray& text, const QStringList& sections, QList<IniEntry>* entries,
              SimParseError* error) {
    const qsizetype bom = text.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const char* const bytes = text.constData();
    const qsizetype size = text.size();
    QString section;
    char sectionMark = 0; // one byte per known section, for the duplicate test
    std::vector<std::string> seen;
    int lineNumber = 0;
    for (qsizetype start = bom; start <= size; ++lineNumber) {
        const void* newline = std::memchr(bytes + start, '\n', std::size_t(size - start));
        const qsizetype end = newline ? static_cast<const char*>(newline) - bytes : size;
        QByteArrayView raw(bytes + start, end - start);
        start = end + 1;
        // Blank and comment lines are told apart on the bytes; what trimming
        // in Unicode would change starts with a byte that is no ASCII space.
        raw = trimmedAscii(raw);
        if (raw.isEmpty() || raw[0] == ';' || raw[0] == '#')
            continue;
        QString key;
        QString value;
        if (isAscii(raw) && raw[0] != '[') {
            // A line of ASCII trims the same on the bytes: the key and the
            // value are the only text made of it.
            const qsizetype equals = raw.indexOf('=');
            if (equals <= 0)
                return fail(error, lineNumber + 1, QStringLiteral("expected Key=Value"));
            key = QString::fromLatin1(trimmedAscii(raw.first(equals)));
            value = QString::fromLatin1(trimmedAscii(raw.sliced(equals + 1)));
        } else {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
                line.startsWith(QLatin1Char('#')))
                continue;
            if (line.startsWith(QLatin1Char('['))) {
                if (!line.endsWith(QLatin1Char(']')) || line.size() < 3)
                    return fail(error, lineNumber + 1, QStringLiteral("malformed section header"));
                const QString name = line.mid(1, line.size() - 2).trimmed();
                const auto known =
                    std::find_if(sections.begin(), sections.end(), [&](const QString& s) {
                        return s.compare(name, Qt::CaseInsensitive) == 0;
                    });
                if (known == sections.end())
                    return fail(error, lineNumber + 1,
                                QStringLiteral("unknown section [%1]").arg(name));
                section = *known;
                sectionMark = static_cast<char>('A' + (known - sections.begin()));
                continue;
            }
            const int equals = line.indexOf(QLatin1Char('='));
            if (equals <= 0)
                return fail(error, lineNumber + 1, QStringLiteral("expected Key=Value"));
            key = line.left(equals).trimmed();
            value = line.mid(equals + 1).trimmed();
        }
        if (section.isEmpty())
            return fail(error, lineNumber + 1, QStringLiteral("key outside a section"));
        std::string folded = sectionMark + foldedKey(key);
        if (std::find(seen.begin(), seen.end(), folded) != seen.end())
            return fail(error, lineNumber + 1, QStringLiteral("duplicate key %1").arg(key));
        seen.push_back(std::move(folded));
        entries->append(IniEntry{lineNumber + 1, section, std::move(key), std::move(value)});
    }
    return true;
}

std::optional<long long> parseInteger(const QString& text, long long minimum, long long maximum) {
    bool ok = false;
    const long long value = text.toLongLong(&ok, 10);
    if (!ok || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

std::optional<bool> parseYesNo(const QString& text) {
    if (text.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("no"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

std::optional<unsigned> parseFailList(const QString& text) {
    static const std::pair<const char*, SimRequest> names[] = {
        {"version", SimRequest::Version},      {"identify", SimRequest::Identify},
        {"smart-data", SimRequest::SmartData}, {"smart-thresholds", SimRequest::SmartThresholds},
        {"status", SimRequest::Status},        {"enable", SimRequest::Enable},
        {"disable", SimRequest::Disable},      {"autosave", SimRequest::AutoSave},
        {"power", SimRequest::PowerMode},
    };
    unsigned mask = 0;
    for (const QString& item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = item.trimmed().toLower();
        if (name.isEmpty())
            continue;
        const auto found = std::find_if(std::begin(names), std::end(names), [&](const auto& n) {
            return name == QLatin1String(n.first);
        });
        if (found == std::end(names))
            return std::nullopt;
        mask |= static_cast<unsigned>(found->second);
    }
    return mask;
}

bool isNumericDriveField(const QString& name) {
    return isInt32DriveField(name) || name == QLatin1String("Size");
}

// The record types these fields as 32-bit numbers (Size as a 64-bit text),
// and the disk number is never negative.
long long minimumOf(const QString& numericField) {
    if (numericField == QLatin1String("Index"))
        return 0;
    return numericField == QLatin1String("Size") ? LLONG_MIN : INT_MIN;
}

long long maximumOf(const QString& numericField) {
    return numericField == QLatin1String("Size") ? LLONG_MAX : INT_MAX;
}

} // namespace

bool isInt32DriveField(const QString& name) {
    static const QStringList numeric = {
        QStringLiteral("Index"),      QStringLiteral("BytesPerSector"),
        QStringLiteral("Partitions"), QStringLiteral("SCSILogicalUnit"),
        QStringLiteral("SCSIPort"),   QStringLiteral("SCSITargetId")};
    return numeric.contains(name);
}

const QStringList& simDriveFieldNames() {
    static const QStringList names = {QStringLiteral("Name"),
                                      QStringLiteral("Caption"),
                                      QStringLiteral("Model"),
                                      QStringLiteral("Description"),
                                      QStringLiteral("DeviceID"),
                                      QStringLiteral("Index"),
                                      QStringLiteral("InterfaceType"),
                                      QStringLiteral("Manufacturer"),
                                      QStringLiteral("MediaType"),
                                      QStringLiteral("PNPDeviceID"),
                                      QStringLiteral("BytesPerSector"),
                                      QStringLiteral("Partitions"),
                                      QStringLiteral("SCSILogicalUnit"),
                                      QStringLiteral("SCSIPort"),
                                      QStringLiteral("SCSITargetId"),
                                      QStringLiteral("Size"),
                                      QStringLiteral("Status")};
    return names;
}

QString SimDisk::driveField(const QString& name) const {
    for (const SimDriveField& field : drive) {
        if (Cm_SameTextIgnoringCase(field.name, name))
            return field.value;
    }
    return QString();
}

long long SimDisk::driveNumber(const QString& name) const {
    return vorn::readLeadingNumber(driveField(name), LLONG_MIN, LLONG_MAX).saturated;
}

const SimDisk* SimMachine::diskByIndex(int index) const {
    for (const SimDisk& disk : disks) {
        if (disk.index() == index)
            return &disk;
    }
    return nullptr;
}

std::optional<SimMachineInfo> parseSimMachineIni(const QByteArray& text, SimParseError* error) {
    QList<IniEntry> entries;
    if (!splitIni(text, {QStringLiteral("Machine")}, &entries, error))
        return std::nullopt;
    SimMachineInfo info;
    for (const IniEntry& entry : entries) {
        const QString key = entry.key.toLower();
        if (key == QLatin1String("csdversion")) {
            info.csdVersion = entry.value.left(127);
            continue;
        }
        if (key == QLatin1String("diskaccess")) {
            const QString access = entry.value.toLower();
            if (access != QLatin1String("open") && access != QLatin1String("privileged"))
                return fail(error, entry.line,
                            QStringLiteral("bad value \"%1\" for %2").arg(entry.value, entry.key)),
                       std::nullopt;
            info.privilegedDiskAccess = access == QLatin1String("privileged");
            continue;
        }
        std::optional<long long> value;
        if (key == QLatin1String("platform"))
            value = parseInteger(entry.value, 0, 2);
        else if (key == QLatin1String("producttype"))
            value = parseInteger(entry.value, 0, 255);
        else if (key == QLatin1String("majorversion") || key == QLatin1String("minorversion") ||
                 key == QLatin1String("buildnumber"))
            value = parseInteger(entry.value, 0, 0xFFFFFFFFLL);
        else
            return fail(error, entry.line, QStringLiteral("unknown key %1").arg(entry.key)),
                   std::nullopt;
        if (!value)
            return fail(error, entry.line,
                        QStringLiteral("bad value \"%1\" for %2").arg(entry.value, entry.key)),
                   std::nullopt;
        if (key == QLatin1String("platform"))
            info.platform = static_cast<DWORD>(*value);
        else if (key == QLatin1String("producttype"))
            info.productType = static_cast<BYTE>(*value);
        else if (key == QLatin1String("majorversion"))
            info.majorVersion = static_cast<DWORD>(*value);
        else if (key == QLatin1String("minorversion"))
            info.minorVersion = static_cast<DWORD>(*value);
        else
            info.buildNumber = static_cast<DWORD>(*value);
    }
    return info;
}

bool parseSimDiskIni(const QByteArray& text, SimDisk* disk, SimParseError* error) {
    QList<IniEntry> entries;
    if (!splitIni(text,
                  {QStringLiteral("Drive"), QStringLiteral("Volumes"), QStringLiteral("Device")},
                  &entries, error))
        return false;
    for (const IniEntry& entry : entries) {
        const auto bad = [&]() {
            return fail(error, entry.line,
                        QStringLiteral("bad value \"%1\" for %2").arg(entry.value, entry.key));
        };
        if (entry.section == QLatin1String("Drive")) {
            const QStringList& names = simDriveFieldNames();
            // Files mostly spell the names as the record does; the folding
            // compare is for the others.
            auto known = std::find(names.begin(), names.end(), entry.key);
            if (known == names.end())
                known = std::find_if(names.begin(), names.end(), [&](const QString& n) {
                    return Cm_SameTextIgnoringCase(n, entry.key);
                });
            if (known == names.end())
                return fail(
                    error, entry.line,
                    QStringLiteral("%1 is not a field of the disk drive record").arg(entry.key));
            if (isNumericDriveField(*known) && !entry.value.isEmpty() &&
                !parseInteger(entry.value, minimumOf(*known), maximumOf(*known)))
                return bad();
            disk->drive.append({*known, entry.value});
        } else if (entry.section == QLatin1String("Volumes")) {
            if (!entry.key.startsWith(QLatin1String("Partition"), Qt::CaseInsensitive))
                return fail(error, entry.line, QStringLiteral("expected PartitionN"));
            // Digits only, so that Partition01 and Partition1 cannot both
            // name partition 1.
            const QString digits = entry.key.mid(9);
            const auto number = parseInteger(digits, 1, 1000);
            if (!number || QString::number(*number) != digits)
                return fail(error, entry.line, QStringLiteral("expected PartitionN"));
            SimPartition partition{static_cast<int>(*number), {}};
            for (const QString& name : entry.value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                if (!name.trimmed().isEmpty())
                    partition.driveNames.append(name.trimmed());
            }
            disk->partitions.append(partition);
        } else {
            SimDeviceSettings& device = disk->device;
            const QString key = entry.key.toLower();
            if (key == QLatin1String("direct") || key == QLatin1String("scsi")) {
                const auto flag = parseYesNo(entry.value);
                if (!flag)
                    return bad();
                (key == QLatin1String("direct") ? device.direct : device.scsi) = *flag;
            } else if (key == QLatin1String("fail")) {
                const auto mask = parseFailList(entry.value);
                if (!mask)
                    return bad();
                device.failMask = *mask;
            } else if (key == QLatin1String("status")) {
                const QString value = entry.value.toLower();
                if (value == QLatin1String("good"))
                    device.status = SimStatus::Good;
                else if (value == QLatin1String("exceeded"))
                    device.status = SimStatus::Exceeded;
                else if (value == QLatin1String("none"))
                    device.status = SimStatus::None;
                else
                    return bad();
            } else if (key == QLatin1String("openerror")) {
                const QString value = entry.value.toLower();
                if (value == QLatin1String("none"))
                    device.openError = 0;
                else if (value == QLatin1String("busy"))
                    device.openError = EBUSY;
                else if (value == QLatin1String("denied"))
                    device.openError = EACCES;
                else
                    return bad();
            } else if (key == QLatin1String("protocol")) {
                const QString value = entry.value.toLower();
                if (value != QLatin1String("ata") && value != QLatin1String("nvme"))
                    return bad();
                device.nvme = value == QLatin1String("nvme");
            } else if (key == QLatin1String("namespace")) {
                const auto nsid = parseInteger(entry.value, 1, 0xFFFFFFFELL);
                if (!nsid)
                    return bad();
                device.nvmeNamespace = static_cast<DWORD>(*nsid);
            } else if (key == QLatin1String("maxlinkspeed")) {
                device.pcieLink.maxSpeed = entry.value;
            } else if (key == QLatin1String("maxlinkwidth")) {
                device.pcieLink.maxWidth = entry.value;
            } else if (key == QLatin1String("currentlinkspeed")) {
                device.pcieLink.currentSpeed = entry.value;
            } else if (key == QLatin1String("currentlinkwidth")) {
                device.pcieLink.currentWidth = entry.value;
            } else if (key == QLatin1String("bridge")) {
                device.bridge = usb::parseBridgePath(entry.value);
                if (!device.bridge)
                    return bad();
            } else if (key == QLatin1String("usbid")) {
                const QStringList parts = entry.value.split(QLatin1Char(':'));
                if (parts.size() < 2 || parts.size() > 3)
                    return bad();
                WORD words[3] = {0, 0, 0};
                for (qsizetype i = 0; i < parts.size(); ++i) {
                    bool ok = false;
                    const uint value = parts[i].toUInt(&ok, 16);
                    if (!ok || parts[i].size() != 4 || value > 0xFFFF)
                        return bad();
                    words[i] = WORD(value);
                }
                device.usbId = usb::BridgeId{words[0], words[1], words[2]};
            } else if (key == QLatin1String("usbdriver")) {
                const QString value = entry.value.toLower();
                if (value != QLatin1String("uas") && value != QLatin1String("usb-storage"))
                    return bad();
                device.usbDriver = value;
            } else if (key == QLatin1String("unitserial")) {
                // What fits a VPD page of printable text, and nothing else.
                if (entry.value.size() > 248)
                    return bad();
                for (const QChar c : entry.value) {
                    if (c.unicode() < 0x20 || c.unicode() > 0x7E)
                        return bad();
                }
                device.unitSerial = entry.value;
            } else if (key == QLatin1String("bridgereply")) {
                const QString value = entry.value.toLower();
                if (value == QLatin1String("sound"))
                    device.bridgeReply = SimBridgeReply::Sound;
                else if (value == QLatin1String("short"))
                    device.bridgeReply = SimBridgeReply::Short;
                else if (value == QLatin1String("garbage"))
                    device.bridgeReply = SimBridgeReply::Garbage;
                else
                    return bad();
            } else if (key == QLatin1String("selftest")) {
                const QString value = entry.value.toLower();
                if (value == QLatin1String("pass"))
                    device.selfTestEnd = SimSelfTestEnd::Pass;
                else if (value == QLatin1String("fail"))
                    device.selfTestEnd = SimSelfTestEnd::Fail;
                else if (value == QLatin1String("stuck"))
                    device.selfTestEnd = SimSelfTestEnd::Stuck;
                else
                    return bad();
            } else if (key == QLatin1String("selftestfaillba")) {
                const auto lba = parseInteger(entry.value, 0, 0xFFFFFFFFFFFELL);
                if (!lba)
                    return bad();
                device.selfTestFailLba = static_cast<unsigned long long>(*lba);
            } else if (key == QLatin1String("poweronperhour")) {
                const auto perHour = parseInteger(entry.value, 0, 1000000);
                if (!perHour)
                    return bad();
                device.powerOnPerHour = *perHour;
            } else if (key == QLatin1String("powermode")) {
                const QString value = entry.value.toLower();
                if (value == QLatin1String("active"))
                    device.powerMode = SimPowerMode::Active;
                else if (value == QLatin1String("idle"))
                    device.powerMode = SimPowerMode::Idle;
                else if (value == QLatin1String("standby"))
                    device.powerMode = SimPowerMode::Standby;
                else
                    return bad();
            } else {
                return fail(error, entry.line, QStringLiteral("unknown key %1").arg(entry.key));
            }
        }
    }
    std::sort(disk->partitions.begin(), disk->partitions.end(),
              [](const SimPartition& a, const SimPartition& b) { return a.number < b.number; });
    return true;
}

namespace {

// The value of each byte as a hex digit, or -1: one look-up per character
// of files that are mostly hex digits.
constexpr std::array<signed char, 256> kHexDigitValues = [] {
    std::array<signed char, 256> values{};
    for (auto& value : values)
        value = -1;
    for (int c = 0; c < 10; ++c)
        values[std::size_t('0' + c)] = static_cast<signed char>(c);
    for (int c = 0; c < 6; ++c) {
        values[std::size_t('a' + c)] = static_cast<signed char>(10 + c);
        values[std::size_t('A' + c)] = static_cast<signed char>(10 + c);
    }
    return values;
}();

int hexValue(char c) {
    return kHexDigitValues[static_cast<unsigned char>(c)];
}

} // namespace

std::optional<QByteArray> parseSimSectorHex(const QByteArray& file, SimParseError* error) {
    return parseSimImageHex(file, 512, error);
}

namespace {

std::optional<QByteArray> parseHexBytes(const QByteArray& file, int expected, bool exact,
                                        SimParseError* error);

} // namespace

std::optional<QByteArray> parseSimImageHex(const QByteArray& file, int expected,
                                           SimParseError* error) {
    return parseHexBytes(file, expected, true, error);
}

std::optional<QByteArray> parseSimPagesHex(const QByteArray& file, int maxPages,
                                           SimParseError* error) {
    auto bytes = parseHexBytes(file, maxPages * 512, false, error);
    if (bytes && (bytes->isEmpty() || bytes->size() % 512 != 0)) {
        fail(error, 0, QStringLiteral("holds %1 bytes, not whole pages of 512").arg(bytes->size()));
        return std::nullopt;
    }
    return bytes;
}

namespace {

// Decodes straight into the image: a simulated machine of many disks reads
// hundreds of these files at start-up. Without exact, fewer bytes than
// expected are a shorter image.
std::optional<QByteArray> parseHexBytes(const QByteArray& file, int expected, bool exact,
                                        SimParseError* error) {
    const qsizetype bom = file.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const char* const text = file.constData() + bom;
    const qsizetype size = file.size() - bom;
    QByteArray bytes(expected, Qt::Uninitialized);
    char* const image = bytes.data();
    int count = 0;
    int line = 1;
    qsizetype i = 0;
    while (i < size) {
        // Most of a file is pairs each followed by one blank: taken in a
        // loop of their own, anything else falls through to the steps below.
        while (i + 2 < size && text[i + 2] == ' ' && count < expected) {
            const int high = hexValue(text[i]);
            const int low = hexValue(text[i + 1]);
            if ((high | low) < 0)
                break;
            image[count++] = static_cast<char>(high << 4 | low);
            i += 3;
        }
        if (i >= size)
            break;
        const char c = text[i];
        // The usual run first: one byte as two digits with a blank or a
        // comment behind, decoded without the general run's bookkeeping.
        if (i + 1 < size && hexValue(c) >= 0 && hexValue(text[i + 1]) >= 0 &&
            (i + 2 == size || isAsciiSpace(text[i + 2]) || text[i + 2] == '#')) {
            if (count == expected) {
                fail(error, line, QStringLiteral("more than %1 bytes").arg(expected));
                return std::nullopt;
            }
            image[count++] = static_cast<char>(hexValue(c) << 4 | hexValue(text[i + 1]));
            i += i + 2 < size && text[i + 2] == ' ' ? 3 : 2;
        } else if (c == ' ') {
            ++i;
        } else if (c == '\n') {
            ++line;
            ++i;
        } else if (c == '#') {
            const void* lineEnd = std::memchr(text + i, '\n', std::size_t(size - i));
            i = lineEnd ? static_cast<const char*>(lineEnd) - text : size;
        } else if (c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++i;
        } else {
            // A run of hex digits must hold whole byte pairs.
            qsizetype end = i;
            while (end < size && hexValue(text[end]) >= 0)
                ++end;
            const bool endsCleanly = end == size || isAsciiSpace(text[end]) || text[end] == '#';
            if (end == i || !endsCleanly) {
                fail(error, line, unexpectedByte(end == i ? c : text[end]));
                return std::nullopt;
            }
            if ((end - i) % 2 != 0) {
                fail(error, line, QStringLiteral("odd number of hex digits"));
                return std::nullopt;
            }
            if ((end - i) / 2 > expected - count) {
                fail(error, line, QStringLiteral("more than %1 bytes").arg(expected));
                return std::nullopt;
            }
            for (; i < end; i += 2)
                image[count++] = static_cast<char>(hexValue(text[i]) << 4 | hexValue(text[i + 1]));
        }
    }
    if (exact && count != expected) {
        fail(error, 0, QStringLiteral("holds %1 bytes, expected %2").arg(count).arg(expected));
        return std::nullopt;
    }
    bytes.truncate(count);
    return bytes;
}

} // namespace

} // namespace vorn::platform
