#include "UsbSysfs.h"

#include "SafeFile.h"

#include <QDir>
#include <QFileInfo>

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

} // namespace vorn::platform
