#include "SystemProviders.h"

#include "../WmiText.h"
#include "BlockDevices.h"
#include "DiskProviders.h"
#include "MountTable.h"
#include <SafeFile.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSysInfo>

#include <cmath>

namespace vorn::wmi {

namespace {

QByteArray readSmallFile(const QString& path) {
    return Cm_ReadBoundedFile(path, 1 << 20).value_or(QByteArray());
}

VARIANT textOrNull(const QString& text) {
    return text.isEmpty() ? VARIANT::null() : VARIANT::ofBstr(text);
}

VARIANT kilobytes(const QMap<QString, qint64>& memory, const char* key) {
    const auto found = memory.constFind(QLatin1String(key));
    if (found == memory.constEnd())
        return VARIANT::null();
    // 64-bit counts travel as decimal text.
    return VARIANT::ofBstr(QString::number(*found));
}

QDateTime now(const SystemRoots& roots) {
    return roots.now ? roots.now() : QDateTime::currentDateTime();
}

// The locale the session runs in, as the C library picks it.
QString localeName(const SystemRoots& roots) {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QString value = roots.environment ? roots.environment(name) : QString();
        if (!value.isEmpty())
            return value;
    }
    return QString();
}

QString dmiText(const SystemRoots& roots, const char* name) {
    return readFirstLine(roots.sys + QStringLiteral("/class/dmi/id/") + QLatin1String(name));
}

} // namespace

QMap<QString, QString> parseOsRelease(const QByteArray& text) {
    QMap<QString, QString> values;
    for (const QByteArray& rawLine : text.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (line.startsWith(QLatin1Char('#')) || equals <= 0)
            continue;
        QString value = line.mid(equals + 1);
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        QString unescaped;
        for (qsizetype i = 0; i < value.size(); ++i) {
            if (value.at(i) == u'\\' && i + 1 < value.size())
                ++i;
            unescaped.append(value.at(i));
        }
        values.insert(line.left(equals), unescaped);
    }
    return values;
}

QMap<QString, qint64> parseMeminfo(const QByteArray& text) {
    QMap<QString, qint64> values;
    for (const QByteArray& line : text.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        bool ok = false;
        const qint64 value = line.mid(colon + 1).simplified().split(' ').value(0).toLongLong(&ok);
        if (ok)
            values.insert(QString::fromLatin1(line.left(colon)), value);
    }
    return values;
}

QList<QMap<QString, QString>> parseCpuinfo(const QByteArray& text) {
    QList<QMap<QString, QString>> blocks;
    QMap<QString, QString> block;
    for (const QByteArray& rawLine : text.split('\n')) {
        const QString line = QString::fromUtf8(rawLine);
        if (line.trimmed().isEmpty()) {
            if (!block.isEmpty())
                blocks.append(block);
            block.clear();
            continue;
        }
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon <= 0)
            continue;
        block.insert(line.left(colon).trimmed(), line.mid(colon + 1).trimmed());
    }
    if (!block.isEmpty())
        blocks.append(block);
    return blocks;
}

QStringList parseOemStrings(const QByteArray& raw) {
    // Header: type, length of the formatted part, handle; then the count of
    // strings; the strings follow the formatted part, each zero-terminated.
    if (raw.size() < 5 || static_cast<unsigned char>(raw.at(0)) != 11)
        return {};
    const int formatted = static_cast<unsigned char>(raw.at(1));
    const int count = static_cast<unsigned char>(raw.at(4));
    QStringList strings;
    qsizetype at = formatted;
    while (strings.size() < count && at < raw.size()) {
        const qsizetype end = raw.indexOf('\0', at);
        if (end < 0 || end == at)
            break;
        strings.append(QString::fromLatin1(raw.mid(at, end - at)));
        at = end + 1;
    }
    return strings;
}

std::vector<WmiObject> linuxOperatingSystems(const SystemRoots& roots) {
    const QMap<QString, QString> release = parseOsRelease([&] {
        const QByteArray etc = readSmallFile(roots.etc + QStringLiteral("/os-release"));
        return etc.isEmpty() ? readSmallFile(roots.etc + QStringLiteral("/../usr/lib/os-release"))
                             : etc;
    }());
    const QMap<QString, qint64> memory =
        parseMeminfo(readSmallFile(roots.proc + QStringLiteral("/meminfo")));
    const QString kernel = readFirstLine(roots.proc + QStringLiteral("/sys/kernel/osrelease"));
    const QDateTime localNow = now(roots);

    QString bootDevice;
    for (const MountEntry& mount : parseMountTable(readSmallFile(roots.mountTable))) {
        if (mount.mountPoint == QLatin1String("/"))
            bootDevice = mount.source;
    }
    bool uptimeOk = false;
    const double uptime = readFirstLine(roots.proc + QStringLiteral("/uptime"))
                              .section(QLatin1Char(' '), 0, 0)
                              .toDouble(&uptimeOk);
    const QString locale = localeName(roots);
    const QDateTime installed = QFileInfo(roots.etc).birthTime();

    WmiObject object(QStringLiteral("Win32_OperatingSystem"));
    object.set(QStringLiteral("BootDevice"), textOrNull(bootDevice));
    object.set(QStringLiteral("BuildNumber"), textOrNull(kernel));
    object.set(QStringLiteral("Caption"),
               textOrNull(release.value(QStringLiteral("PRETTY_NAME"),
                                        release.value(QStringLiteral("NAME")))));
    object.set(QStringLiteral("CodeSet"),
               textOrNull(locale.section(QLatin1Char('.'), 1).section(QLatin1Char('@'), 0, 0)));
    object.set(QStringLiteral("CountryCode"), VARIANT::null());
    object.set(QStringLiteral("CSDVersion"), VARIANT::null());
    object.set(QStringLiteral("CSName"), VARIANT::ofBstr(hostName(roots)));
    object.set(QStringLiteral("FreePhysicalMemory"), memory.contains(QStringLiteral("MemAvailable"))
                                                         ? kilobytes(memory, "MemAvailable")
                                                         : kilobytes(memory, "MemFree"));
    object.set(QStringLiteral("FreeSpaceInPagingFiles"), kilobytes(memory, "SwapFree"));
    object.set(QStringLiteral("InstallDate"),
               textOrNull(installed.isValid() ? wmiDateText(installed.toLocalTime()) : QString()));
    object.set(
        QStringLiteral("LastBootUpTime"),
        textOrNull(uptimeOk ? wmiDateText(localNow.addSecs(-std::llround(uptime))) : QString()));
    object.set(QStringLiteral("LocalDateTime"), textOrNull(wmiDateText(localNow)));
    object.set(QStringLiteral("Locale"),
               textOrNull(locale.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0)));
    object.set(QStringLiteral("Manufacturer"),
               textOrNull(release.value(QStringLiteral("VENDOR_NAME"))));
    object.set(QStringLiteral("OSLanguage"), VARIANT::null());
    object.set(QStringLiteral("OSType"), VARIANT::ofI4(36)); // LINUX in the class's list
    object.set(QStringLiteral("ProductType"), VARIANT::null());
    object.set(QStringLiteral("SerialNumber"),
               textOrNull(readFirstLine(roots.etc + QStringLiteral("/machine-id"))));
    object.set(QStringLiteral("ServicePackMajorVersion"), VARIANT::ofI4(0));
    object.set(QStringLiteral("ServicePackMinorVersion"), VARIANT::ofI4(0));
    object.set(QStringLiteral("SizeStoredInPagingFiles"), kilobytes(memory, "SwapTotal"));
    object.set(QStringLiteral("TotalVisibleMemorySize"), kilobytes(memory, "MemTotal"));
    object.set(QStringLiteral("Version"), textOrNull(kernel.section(QLatin1Char('-'), 0, 0)));
    return {object};
}

std::vector<WmiObject> linuxComputerSystems(const SystemRoots& roots) {
    const QMap<QString, qint64> memory =
        parseMeminfo(readSmallFile(roots.proc + QStringLiteral("/meminfo")));
    const QList<QMap<QString, QString>> cpus =
        parseCpuinfo(readSmallFile(roots.proc + QStringLiteral("/cpuinfo")));
    QSet<QString> packages;
    for (const auto& cpu : cpus)
        packages.insert(cpu.value(QStringLiteral("physical id")));
    QStringList oemStrings;
    const QDir entries(roots.sys + QStringLiteral("/firmware/dmi/entries"));
    for (const QString& entry : entries.entryList({QStringLiteral("11-*")}, QDir::Dirs))
        oemStrings +=
            parseOemStrings(readSmallFile(entries.filePath(entry) + QStringLiteral("/raw")));
    QString domain = readFirstLine(roots.proc + QStringLiteral("/sys/kernel/domainname"));
    if (domain == QLatin1String("(none)"))
        domain.clear();
    QString architecture = readFirstLine(roots.proc + QStringLiteral("/sys/kernel/arch"));
    if (architecture.isEmpty())
        architecture = QSysInfo::currentCpuArchitecture();
    const QString host = hostName(roots);

    WmiObject object(QStringLiteral("Win32_ComputerSystem"));
    object.set(QStringLiteral("Caption"), VARIANT::ofBstr(host));
    object.set(QStringLiteral("CurrentTimeZone"),
               VARIANT::ofI2(static_cast<qint16>(now(roots).offsetFromUtc() / 60)));
    object.set(QStringLiteral("Description"), VARIANT::null());
    object.set(QStringLiteral("Domain"), textOrNull(domain));
    object.set(QStringLiteral("Manufacturer"), textOrNull(dmiText(roots, "sys_vendor")));
    object.set(QStringLiteral("Model"), textOrNull(dmiText(roots, "product_name")));
    object.set(QStringLiteral("Name"), VARIANT::ofBstr(host));
    object.set(QStringLiteral("NumberOfProcessors"),
               cpus.isEmpty() ? VARIANT::null()
                              : VARIANT::ofI4(static_cast<qint32>(packages.size())));
    object.set(QStringLiteral("OEMStringArray"),
               oemStrings.isEmpty() ? VARIANT::null() : VARIANT::ofStringArray(oemStrings));
    object.set(QStringLiteral("SystemType"), textOrNull(architecture));
    object.set(
        QStringLiteral("TotalPhysicalMemory"),
        memory.contains(QStringLiteral("MemTotal"))
            ? VARIANT::ofBstr(QString::number(memory.value(QStringLiteral("MemTotal")) * 1024))
            : VARIANT::null());
    object.set(QStringLiteral("UserName"),
               textOrNull(roots.environment ? roots.environment("USER") : QString()));
    return {object};
}

std::vector<WmiObject> linuxProcessors(const SystemRoots& roots) {
    const QList<QMap<QString, QString>> cpus =
        parseCpuinfo(readSmallFile(roots.proc + QStringLiteral("/cpuinfo")));
    // One instance per processor package, as the class counts sockets.
    QStringList packageOrder;
    QList<QMap<QString, QString>> firstOfPackage;
    QList<QString> firstLogical;
    for (const auto& cpu : cpus) {
        const QString package = cpu.value(QStringLiteral("physical id"));
        if (packageOrder.contains(package))
            continue;
        packageOrder.append(package);
        firstOfPackage.append(cpu);
        firstLogical.append(cpu.value(QStringLiteral("processor")));
    }
    std::vector<WmiObject> objects;
    for (qsizetype i = 0; i < firstOfPackage.size(); ++i) {
        const auto& cpu = firstOfPackage.at(i);
        const QString family = cpu.value(QStringLiteral("cpu family"));
        const QString model = cpu.value(QStringLiteral("model"));
        const QString stepping = cpu.value(QStringLiteral("stepping"));
        QString caption;
        if (!family.isEmpty())
            caption = QStringLiteral("%1 Family %2 Model %3 Stepping %4")
                          .arg(QSysInfo::currentCpuArchitecture(), family, model, stepping);
        const QString name =
            cpu.value(QStringLiteral("model name"), cpu.value(QStringLiteral("Processor")));
        bool mhzOk = false;
        const double mhz = cpu.value(QStringLiteral("cpu MHz")).toDouble(&mhzOk);
        const qint64 maxKhz =
            readFirstLine(roots.sys + QStringLiteral("/devices/system/cpu/cpu") +
                          firstLogical.at(i) + QStringLiteral("/cpufreq/cpuinfo_max_freq"))
                .toLongLong();
        WmiObject object(QStringLiteral("Win32_Processor"));
        object.set(QStringLiteral("Caption"), textOrNull(caption));
        object.set(QStringLiteral("Name"), textOrNull(name));
        object.set(QStringLiteral("Description"), textOrNull(caption));
        object.set(QStringLiteral("Manufacturer"),
                   textOrNull(cpu.value(QStringLiteral("vendor_id"))));
        object.set(QStringLiteral("ProcessorId"), VARIANT::null());
        object.set(QStringLiteral("DeviceID"), VARIANT::ofBstr(QStringLiteral("CPU%1").arg(i)));
        object.set(QStringLiteral("CurrentClockSpeed"),
                   mhzOk ? VARIANT::ofI4(static_cast<qint32>(std::lround(mhz))) : VARIANT::null());
        object.set(QStringLiteral("MaxClockSpeed"),
                   maxKhz > 0 ? VARIANT::ofI4(static_cast<qint32>(maxKhz / 1000))
                   : mhzOk    ? VARIANT::ofI4(static_cast<qint32>(std::lround(mhz)))
                              : VARIANT::null());
        object.set(QStringLiteral("LoadPercentage"), VARIANT::null());
        object.set(QStringLiteral("Revision"),
                   model.isEmpty() ? VARIANT::null()
                                   : VARIANT::ofI4(static_cast<qint32>((model.toInt() << 8) |
                                                                       stepping.toInt())));
        objects.push_back(object);
    }
    return objects;
}

} // namespace vorn::wmi
