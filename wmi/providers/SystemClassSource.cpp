#include "SystemClassSource.h"

#include "DiskProviders.h"
#include "SimMachineInstall.h"
#include "SimProviders.h"
#include "SystemProviders.h"

namespace vorn::wmi {

namespace {

const QStringList& win32Classes() {
    static const QStringList names = {
        QStringLiteral("Win32_CDROMDrive"),      QStringLiteral("Win32_ComputerSystem"),
        QStringLiteral("Win32_DiskDrive"),       QStringLiteral("Win32_FloppyDrive"),
        QStringLiteral("Win32_LogicalDisk"),     QStringLiteral("Win32_LogicalDiskToPartition"),
        QStringLiteral("Win32_OperatingSystem"), QStringLiteral("Win32_Processor"),
    };
    return names;
}

// The general classes the Win32_ ones extend. They are listed so that a
// class listing has something for its "Win32_" filter to leave out; they
// have no instances of their own here.
const QStringList& baseClasses() {
    static const QStringList names = {
        QStringLiteral("CIM_ComputerSystem"), QStringLiteral("CIM_DiskDrive"),
        QStringLiteral("CIM_LogicalDisk"),    QStringLiteral("CIM_OperatingSystem"),
        QStringLiteral("CIM_Processor"),
    };
    return names;
}

} // namespace

QStringList SystemClassSource::classNames() const {
    return baseClasses() + win32Classes();
}

std::optional<std::vector<WmiObject>> SystemClassSource::instances(const QString& className) const {
    auto is = [&](const char* name) {
        return className.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    const std::shared_ptr<const platform::SimMachine> sim = platform::InstalledSimMachine();
    if (is("Win32_DiskDrive"))
        return sim ? simDiskDrives(*sim) : linuxDiskDrives(m_roots);
    if (is("Win32_LogicalDiskToPartition"))
        return sim ? simLogicalDiskToPartitions(*sim, hostName(m_roots))
                   : linuxLogicalDiskToPartitions(m_roots);
    if (is("Win32_OperatingSystem"))
        return sim ? simOperatingSystems(*sim, linuxOperatingSystems(m_roots))
                   : linuxOperatingSystems(m_roots);
    if (is("Win32_LogicalDisk"))
        return linuxLogicalDisks(m_roots);
    if (is("Win32_ComputerSystem"))
        return linuxComputerSystems(m_roots);
    if (is("Win32_Processor"))
        return linuxProcessors(m_roots);
    if (is("Win32_CDROMDrive"))
        return linuxCdromDrives(m_roots);
    if (is("Win32_FloppyDrive"))
        return linuxFloppyDrives(m_roots);
    for (const QString& name : baseClasses()) {
        if (className.compare(name, Qt::CaseInsensitive) == 0)
            return std::vector<WmiObject>();
    }
    return std::nullopt;
}

} // namespace vorn::wmi
