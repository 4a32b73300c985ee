#include "WmiQueries.h"

#include "WmiConnection.h"
#include "WmiText.h"

#include <OsInfo.h>

#include <cstdlib>
#include <cstring>

namespace {

using vorn::wmi::copyToField;

template <std::size_t N> void text(const char* property, char16_t (&field)[N]) {
    copyToField(Wmi_PropertyText(QLatin1String(property)), field, static_cast<int>(N));
}

std::int32_t int32(const char* property) {
    return vorn::wmi::textToInt32(Wmi_PropertyText(QLatin1String(property)));
}

std::int64_t int64(const char* property) {
    return vorn::wmi::textToInt64(Wmi_PropertyText(QLatin1String(property)));
}

BYTE byte(const char* property) {
    return static_cast<BYTE>(int32(property) & 0xFF);
}

std::int32_t time(const char* property) {
    return vorn::wmi::wmiDateToTime(Wmi_PropertyText(QLatin1String(property)));
}

// Walks the instances of one class and appends one record per instance.
template <typename Record, typename Fill>
CmRecordBlock<Record>* collect(const char16_t* className, int apartment, Fill fill) {
    using Block = CmRecordBlock<Record>;
    if (!Cm_GetWMI_Info_Start(className, static_cast<BYTE>(apartment & 0xFF)))
        return nullptr;
    Block* block = nullptr;
    std::size_t count = 0;
    while (Cm_GetWMI_Info_Loop()) {
        Record record;
        std::memset(&record, 0, sizeof record);
        fill(record);
        void* grown = std::realloc(block, Block::bytesFor(count + 1));
        if (!grown) {
            // An incomplete set of disks would read as the whole set.
            std::free(block);
            Cm_GetWMI_Info_End();
            return nullptr;
        }
        block = static_cast<Block*>(grown);
        if (count == 0)
            std::memset(block, 0, Block::bytesFor(0));
        unsigned char* slot = reinterpret_cast<unsigned char*>(block) + Block::bytesFor(count);
        std::memcpy(slot, &record, sizeof record);
        block->nCount = static_cast<std::int32_t>(++count);
    }
    Cm_GetWMI_Info_End();
    return block;
}

// The single-record form: the last instance stays; no instance leaves the
// record zero-filled.
template <typename Record, typename Fill>
Record* collectOne(const char16_t* className, int apartment, Fill fill) {
    if (!Cm_GetWMI_Info_Start(className, static_cast<BYTE>(apartment & 0xFF)))
        return nullptr;
    Record* record = static_cast<Record*>(std::calloc(1, sizeof(Record)));
    while (record && Cm_GetWMI_Info_Loop()) {
        std::memset(record, 0, sizeof(Record));
        fill(*record);
    }
    Cm_GetWMI_Info_End();
    return record;
}

void fillDiskDrive(CmDiskDriveRecord& r) {
    text("Name", r.Name);
    text("Caption", r.Caption);
    text("Model", r.Model);
    text("Description", r.Description);
    text("DeviceID", r.DeviceID);
    r.Index = int32("Index");
    text("InterfaceType", r.InterfaceType);
    text("Manufacturer", r.Manufacturer);
    text("MediaType", r.MediaType);
    text("PNPDeviceID", r.PNPDeviceID);
    r.BytesPerSector = int32("BytesPerSector");
    r.Partitions = int32("Partitions");
    r.SCSILogicalUnit = int32("SCSILogicalUnit");
    r.SCSIPort = int32("SCSIPort");
    r.SCSITargetId = int32("SCSITargetId");
    r.Size = int64("Size");
    text("Status", r.Status);
}

void fillRemovableDrive(CmRemovableDriveRecord& r) {
    text("Name", r.Name);
    text("Caption", r.Caption);
    text("Description", r.Description);
    text("Drive", r.Drive);
    text("Id", r.Id);
    text("Manufacturer", r.Manufacturer);
    text("MediaType", r.MediaType);
    text("Status", r.Status);
    r.Availability = int32("Availability");
    r.ConfigManagerErrorCode = int32("ConfigManagerErrorCode");
    r.MediaLoaded = int32("MediaLoaded");
}

} // namespace

CmDiskDriveBlock* Cm_GetDiskDriveInfo(int apartment) {
    return collect<CmDiskDriveRecord>(u"DiskDrive", apartment, fillDiskDrive);
}

CmLogicalDiskPartitionBlock* Cm_GetLogicalDiskPartitionInfo(int apartment) {
    return collect<CmLogicalDiskPartitionRecord>(u"LogicalDiskToPartition", apartment,
                                                 [](CmLogicalDiskPartitionRecord& r) {
                                                     text("Antecedent", r.Antecedent);
                                                     text("Dependent", r.Dependent);
                                                     r.EndingAddress = int64("EndingAddress");
                                                     r.StartingAddress = int64("StartingAddress");
                                                 });
}

CmLogicalDiskBlock* Cm_GetLogicalDiskInfo(int apartment) {
    const COsInfo os;
    // Older systems report the flag the other way round.
    const bool invertQuotas = os.GetKind() > 6;
    return collect<CmLogicalDiskRecord>(u"LogicalDisk", apartment, [&](CmLogicalDiskRecord& r) {
        text("Caption", r.Caption);
        r.Compressed = byte("Compressed");
        r.DriveType = int32("DriveType");
        r.MediaType = int32("MediaType");
        text("FileSystem", r.FileSystem);
        r.FreeSpace = int64("FreeSpace");
        r.Size = int64("Size");
        text("VolumeName", r.VolumeName);
        r.QuotasDisabled = byte("QuotasDisabled");
        if (invertQuotas)
            r.QuotasDisabled = r.QuotasDisabled == 0 ? 1 : 0;
        text("Description", r.Description);
        text("ProviderName", r.ProviderName);
    });
}

CmProcessorBlock* Cm_GetProcessorInfo(int apartment) {
    return collect<CmProcessorRecord>(u"Processor", apartment, [](CmProcessorRecord& r) {
        text("Caption", r.Caption);
        text("Name", r.Name);
        text("Description", r.Description);
        text("Manufacturer", r.Manufacturer);
        text("ProcessorId", r.ProcessorId);
        text("DeviceID", r.DeviceID);
        r.CurrentClockSpeed = int32("CurrentClockSpeed");
        r.MaxClockSpeed = int32("MaxClockSpeed");
        r.LoadPercentage = int32("LoadPercentage");
        r.Revision = int32("Revision");
    });
}

CmRemovableDriveBlock* Cm_GetCDROMDriveInfo(int apartment) {
    return collect<CmRemovableDriveRecord>(u"CDROMDrive", apartment, fillRemovableDrive);
}

CmRemovableDriveBlock* Cm_GetFloppyDriveInfo(int apartment) {
    return collect<CmRemovableDriveRecord>(u"FloppyDrive", apartment, fillRemovableDrive);
}

CmComputerSystemRecord* Cm_GetComputerSystemInfo(int apartment) {
    return collectOne<CmComputerSystemRecord>(
        u"ComputerSystem", apartment, [](CmComputerSystemRecord& r) {
            text("Caption", r.Caption);
            r.CurrentTimeZone = int32("CurrentTimeZone");
            text("Description", r.Description);
            text("Domain", r.Domain);
            text("Manufacturer", r.Manufacturer);
            text("Model", r.Model);
            text("Name", r.Name);
            r.NumberOfProcessors = int32("NumberOfProcessors");
            text("OEMStringArray", r.OEMStringArray);
            text("SystemType", r.SystemType);
            r.TotalPhysicalMemory = int64("TotalPhysicalMemory");
            text("UserName", r.UserName);
        });
}

CmOperatingSystemRecord* Cm_GetOperatingSystemInfo(int apartment) {
    return collectOne<CmOperatingSystemRecord>(
        u"OperatingSystem", apartment, [](CmOperatingSystemRecord& r) {
            text("BootDevice", r.BootDevice);
            text("BuildNumber", r.BuildNumber);
            text("Caption", r.Caption);
            text("CodeSet", r.CodeSet);
            text("CountryCode", r.CountryCode);
            text("CSDVersion", r.CSDVersion);
            text("CSName", r.CSName);
            r.FreePhysicalMemory = int32("FreePhysicalMemory");
            r.FreeSpaceInPagingFiles = int32("FreeSpaceInPagingFiles");
            r.InstallDate = time("InstallDate");
            r.LastBootUpTime = time("LastBootUpTime");
            r.LocalDateTime = time("LocalDateTime");
            text("Locale", r.Locale);
            text("Manufacturer", r.Manufacturer);
            r.OSLanguage = int32("OSLanguage");
            r.OSType = int32("OSType");
            r.ProductType = int32("ProductType");
            text("SerialNumber", r.SerialNumber);
            r.ServicePackMajorVersion = int32("ServicePackMajorVersion");
            r.ServicePackMinorVersion = int32("ServicePackMinorVersion");
            r.SizeStoredInPagingFiles = int32("SizeStoredInPagingFiles");
            r.TotalVisibleMemorySize = int32("TotalVisibleMemorySize");
            text("Version", r.Version);
        });
}
