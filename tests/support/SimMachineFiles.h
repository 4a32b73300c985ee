#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

// Changing a simulated machine's disks in a test: a copy of a machine, and
// the bytes of its hex files ('#' comments dropped) read and written back.
namespace simfiles {

inline bool CopyMachine(const QString& from, const QString& to) {
    if (!QDir().mkpath(to))
        return false;
    for (const QFileInfo& entry :
         QDir(from).entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (!(entry.isDir() ? CopyMachine(entry.filePath(), target)
                            : QFile::copy(entry.filePath(), target)))
            return false;
    }
    return true;
}

inline QByteArray ReadHex(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray hex;
    for (const QByteArray& line : file.readAll().split('\n'))
        hex += line.left(line.indexOf('#') < 0 ? line.size() : line.indexOf('#'));
    return QByteArray::fromHex(hex);
}

inline bool WriteHex(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    const QByteArray text = bytes.toHex(' ') + '\n';
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

// Raw byte 0 of attribute id in a SMART data file, the checksum kept.
inline bool SetRawLow(const QString& smartData, int id, int value) {
    QByteArray data = ReadHex(smartData);
    if (data.size() != 512)
        return false;
    for (int at = 2; at + 12 <= 362; at += 12) {
        if (static_cast<unsigned char>(data[at]) == id) {
            data[511] = static_cast<char>(data[511] - (value - data[at + 5]));
            data[at + 5] = static_cast<char>(value);
        }
    }
    return WriteHex(smartData, data);
}

} // namespace simfiles
