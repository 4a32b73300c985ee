#include "UsbSysfs.h"

#include "SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace vorn::platform {

namespace {

QString sysfsWord(const QString& path) {
    return QString::fromLatin1(Cm_ReadBoundedFile(path, 64).value_or(QByteArray()).trimmed());
}

std::optional<WORD> hexWord(const QString& path) {
    bool ok = false;
    const uint value = sysfsWord(path).toUInt(&ok, 16);
    if (!ok || value > 0xFFFF)
        return std::nullopt;
    return WORD(value);
}

} // namespace

std::optional<UsbDiskFacts> usbFactsOf(const QString& sysRoot, const QString& kernelName) {
    if (kernelName.isEmpty() || kernelName.contains(QLatin1Char('/')))
        return std::nullopt;
    const QString root = QFileInfo(sysRoot).canonicalFilePath();
    QString dir =
        QFileInfo(sysRoot + QStringLiteral("/block/") + kernelName + QStringLiteral("/device"))
            .canonicalFilePath();
    // A handful of levels lie between the SCSI device and its USB interface
    // (target, host, interface); the walk stops at the root in any case.
    for (int level = 0; level < 8 && !dir.isEmpty() && dir != root && dir.startsWith(root);
         ++level) {
        const QString driver =
            QFileInfo(QFileInfo(dir + QStringLiteral("/driver")).symLinkTarget()).fileName();
        if (driver == QLatin1String("usb-storage") || driver == QLatin1String("uas")) {
            const QString device = QFileInfo(dir).path();
            const auto vendor = hexWord(device + QStringLiteral("/idVendor"));
            const auto product = hexWord(device + QStringLiteral("/idProduct"));
            if (!vendor || !product)
                return std::nullopt;
            return UsbDiskFacts{*vendor, *product,
                                hexWord(device + QStringLiteral("/bcdDevice")).value_or(0), driver};
        }
        dir = QFileInfo(dir).path();
    }
    return std::nullopt;
}

QString parseUnitSerialPage(const QByteArray& page) {
    constexpr int kHeader = 4;
    if (page.size() < kHeader || static_cast<BYTE>(page[1]) != 0x80)
        return QString();
    const int length = (static_cast<BYTE>(page[2]) << 8) | static_cast<BYTE>(page[3]);
    const QByteArray text = page.mid(kHeader, std::min<int>(length, int(page.size()) - kHeader));
    QString serial;
    for (const char c : text) {
        // Bridges pad with blanks or NULs; anything unprintable is not text.
        if (c == '\0')
            continue;
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
            return QString();
        serial += QLatin1Char(c);
    }
    return serial.trimmed();
}

std::array<BYTE, 6> unitSerialInquiryCdb() {
    return {0x12, 0x01, 0x80, 0x00, 0xFC, 0x00};
}

QByteArray sysfsUnitSerialPage(const QString& sysRoot, const QString& kernelName) {
    if (kernelName.isEmpty() || kernelName.contains(QLatin1Char('/')))
        return QByteArray();
    return Cm_ReadBoundedFile(sysRoot + QStringLiteral("/block/") + kernelName +
                                  QStringLiteral("/device/vpd_pg80"),
                              4096)
        .value_or(QByteArray());
}

} // namespace vorn::platform
