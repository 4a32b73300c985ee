#include "BaselineFile.h"

#include "ByteOrder.h"
#include "PerDiskFile.h"
#include "SafeFile.h"
#include "WinTypes.h"

#include <cerrno>
#include <map>

using namespace vorn::diskpass;

namespace vorn::checker {

namespace {

constexpr int kHeaderSize = 8;
constexpr int kRecordSize = 13;

// The file's numbers are 32-bit little-endian.
void appendInt32(QByteArray* bytes, std::int32_t value) {
    BYTE field[4];
    vorn::le::write32(field, sizeof field, 0, static_cast<DWORD>(value));
    bytes->append(reinterpret_cast<const char*>(field), sizeof field);
}

std::int32_t int32At(const QByteArray& bytes, int offset) {
    return static_cast<std::int32_t>(
        vorn::le::read32(reinterpret_cast<const BYTE*>(bytes.constData()),
                         static_cast<std::size_t>(bytes.size()), static_cast<std::size_t>(offset)));
}

// Values were written as 32 bits but only ever range from -1 to 255; the
// low 16 bits are what counts.
int storedValue(std::int32_t value) {
    return static_cast<std::int16_t>(value & 0xFFFF);
}

} // namespace

QString BaselineFilePath(const QString& directory, const CDisk& disk) {
    return PerDiskFilePath(directory, disk.GetSerialNumber(), QStringLiteral(".dat"));
}

QByteArray EncodeBaseline(const CDisk& disk) {
    QByteArray bytes;
    appendInt32(&bytes, static_cast<std::int32_t>(disk.m_timeBaseline));
    appendInt32(&bytes, disk.m_nPohUnit);
    for (const CHddSmartDisp* record : disk.m_HddSmart.m_DispList) {
        bytes.append(static_cast<char>(record->m_byId));
        appendInt32(&bytes, record->m_nInit);
        appendInt32(&bytes, record->m_nChange);
        appendInt32(&bytes, record->m_nCurrent);
    }
    return bytes;
}

void ApplyBaseline(const QByteArray& bytes, CDisk* disk) {
    if (bytes.size() >= 4) {
        disk->m_timeBaseline = int32At(bytes, 0);
        if (bytes.size() >= kHeaderSize)
            disk->m_nPohUnit = int32At(bytes, 4);
        std::map<BYTE, int> seen; // file records per id so far
        for (int at = kHeaderSize; at + kRecordSize <= bytes.size(); at += kRecordSize) {
            const BYTE id = static_cast<BYTE>(bytes[at]);
            int skip = seen[id]++;
            for (CHddSmartDisp* record : disk->m_HddSmart.m_DispList) {
                if (record->m_byId != id || skip-- > 0)
                    continue;
                record->m_nInit = storedValue(int32At(bytes, at + 1));
                record->m_nChange = storedValue(int32At(bytes, at + 5));
                break;
            }
        }
    }
    for (CHddSmartDisp* record : disk->m_HddSmart.m_DispList) {
        if (record->m_nInit < record->m_nCurrent)
            record->m_nInit = record->m_nCurrent;
    }
}

BOOL ReadBaseline(const QString& directory, CDisk* disk, QString* error) {
    const QString path = BaselineFilePath(directory, *disk);
    if (path.isEmpty())
        return FALSE;
    int failure = 0;
    // The current folder may be one others write to: a link or a file of
    // theirs at the name is refused, not read.
    const auto bytes = Cm_ReadOwnFile(path, kBaselineMaxBytes, &failure);
    if (!bytes) {
        if (error && failure != ENOENT)
            *error = QStringLiteral("%1: %2").arg(path, Cm_FileErrorText(failure));
        return FALSE;
    }
    ApplyBaseline(*bytes, disk);
    return TRUE;
}

BOOL WriteBaseline(const QString& directory, CDisk* disk, const PassClock& now, QString* error) {
    const QString path = BaselineFilePath(directory, *disk);
    if (path.isEmpty())
        return FALSE;
    const std::int64_t previousTime = disk->m_timeBaseline;
    if (disk->m_timeBaseline == CDisk::BaselineNotWritten())
        disk->m_timeBaseline = now();
    if (const int failure = Cm_ReplaceFile(path, EncodeBaseline(*disk))) {
        // The file still holds no time of its own.
        disk->m_timeBaseline = previousTime;
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, Cm_FileErrorText(failure));
        return FALSE;
    }
    return TRUE;
}

} // namespace vorn::checker
