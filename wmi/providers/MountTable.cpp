#include "MountTable.h"

namespace vorn::wmi {

namespace {

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

} // namespace

QString unescapeMountField(const QByteArray& field) {
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size() && isOctal(field.at(i + 1)) &&
            isOctal(field.at(i + 2)) && isOctal(field.at(i + 3))) {
            const int code = (field.at(i + 1) - '0') * 64 + (field.at(i + 2) - '0') * 8 +
                             (field.at(i + 3) - '0');
            if (code <= 0xFF) {
                bytes.append(static_cast<char>(code));
                i += 3;
                continue;
            }
        }
        bytes.append(field.at(i));
    }
    // Paths are bytes to the kernel; the local 8-bit coding is how every
    // other program on the machine shows them.
    return QString::fromLocal8Bit(bytes);
}

QList<MountEntry> parseMountTable(const QByteArray& text) {
    QList<MountEntry> entries;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 4 || fields.at(0).startsWith('#'))
            continue;
        MountEntry entry;
        entry.source = unescapeMountField(fields.at(0));
        entry.mountPoint = unescapeMountField(fields.at(1));
        entry.type = unescapeMountField(fields.at(2));
        entry.options = unescapeMountField(fields.at(3)).split(QLatin1Char(','));
        entries.append(entry);
    }
    return entries;
}

} // namespace vorn::wmi
