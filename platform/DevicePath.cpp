#include "DevicePath.h"

namespace vorn::platform {

namespace {

// One to nine ASCII digits, the whole of text.
std::optional<int> smallNumber(QStringView text) {
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

constexpr QLatin1String kPrefix("\\\\.\\");
constexpr QLatin1String kDrive("PhysicalDrive");
constexpr QLatin1String kScsi("Scsi");
constexpr QLatin1String kSmart("SMARTVSD");

} // namespace

// Plain comparisons: every open parses a path, and a regular expression
// costs a compilation per process for three fixed words.
std::optional<DevicePath> parseDevicePath(const QString& path) {
    if (!path.startsWith(kPrefix))
        return std::nullopt;
    const QStringView name = QStringView(path).mid(kPrefix.size());
    if (name.startsWith(kDrive, Qt::CaseInsensitive)) {
        if (const auto number = smallNumber(name.mid(kDrive.size())))
            return DevicePath{DevicePath::PhysicalDrive, *number};
    } else if (name.startsWith(kScsi, Qt::CaseInsensitive) && name.endsWith(QLatin1Char(':'))) {
        if (const auto number = smallNumber(name.mid(kScsi.size()).chopped(1)))
            return DevicePath{DevicePath::ScsiAdapter, *number};
    } else if (name.compare(kSmart, Qt::CaseInsensitive) == 0) {
        return DevicePath{DevicePath::SmartDriver, 0};
    }
    return std::nullopt;
}

QString DevicePathText(const DevicePath& path) {
    QString text = kPrefix;
    switch (path.kind) {
    case DevicePath::PhysicalDrive:
        return text + kDrive + QString::number(path.number);
    case DevicePath::ScsiAdapter:
        return text + kScsi + QString::number(path.number) + QLatin1Char(':');
    case DevicePath::SmartDriver:
        break;
    }
    return text + kSmart;
}

} // namespace vorn::platform
