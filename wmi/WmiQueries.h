#pragma once

#include "VornWmiExport.h"

#include <WinTypes.h>

#include <cstddef>
#include <cstdint>

// The fixed queries: each runs one query connection from start to end and
// hands back a heap block the caller releases with free(). Text fields are
// zero-terminated UTF-16 arrays; longer texts are cut. Numbers read from a
// missing or empty property are 0.

// A block of an int32 record count and that many records back to back, in
// enumeration order. The records start at the first offset after the count
// that suits their alignment.
template <typename Record> struct CmRecordBlock {
    std::int32_t nCount;
    Record records[1]; // nCount of them

    const Record* begin() const { return records; }
    const Record* end() const { return records + nCount; }
    const Record& operator[](int i) const { return records[i]; }

    static constexpr std::size_t bytesFor(std::size_t count) {
        return offsetof(CmRecordBlock, records) + count * sizeof(Record);
    }
};

struct CmDiskDriveRecord {
    char16_t Name[64];
    char16_t Caption[64];
    char16_t Model[64];
    char16_t Description[64];
    char16_t DeviceID[64];
    std::int32_t Index;
    char16_t InterfaceType[32];
    char16_t Manufacturer[64];
    char16_t MediaType[32];
    char16_t PNPDeviceID[256];
    std::int32_t BytesPerSector;
    std::int32_t Partitions;
    std::int32_t SCSILogicalUnit;
    std::int32_t SCSIPort;
    std::int32_t SCSITargetId;
    std::int64_t Size;
    char16_t Status[32];
};

struct CmLogicalDiskPartitionRecord {
    char16_t Antecedent[256];
    char16_t Dependent[256];
    std::int64_t EndingAddress;
    std::int64_t StartingAddress;
};

struct CmComputerSystemRecord {
    char16_t Caption[128];
    std::int32_t CurrentTimeZone;
    char16_t Description[64];
    char16_t Domain[128];
    char16_t Manufacturer[128];
    char16_t Model[128];
    char16_t Name[64];
    std::int32_t NumberOfProcessors;
    char16_t OEMStringArray[128]; // the strings joined by line feeds
    char16_t SystemType[128];
    std::int64_t TotalPhysicalMemory;
    char16_t UserName[128];
};

// Time fields: seconds since 1970 (32 bits), 0 when the system gives none.
struct CmOperatingSystemRecord {
    char16_t BootDevice[256];
    char16_t BuildNumber[32];
    char16_t Caption[256];
    char16_t CodeSet[32];
    char16_t CountryCode[32];
    char16_t CSDVersion[32];
    char16_t CSName[64];
    std::int32_t FreePhysicalMemory;
    std::int32_t FreeSpaceInPagingFiles;
    std::int32_t InstallDate;
    std::int32_t LastBootUpTime;
    std::int32_t LocalDateTime;
    char16_t Locale[64];
    char16_t Manufacturer[128];
    std::int32_t OSLanguage;
    std::int32_t OSType;
    std::int32_t ProductType;
    char16_t SerialNumber[128];
    std::int32_t ServicePackMajorVersion;
    std::int32_t ServicePackMinorVersion;
    std::int32_t SizeStoredInPagingFiles;
    std::int32_t TotalVisibleMemorySize;
    char16_t Version[32];
};

struct CmLogicalDiskRecord {
    char16_t Caption[8];
    BYTE Compressed;
    std::int32_t DriveType;
    std::int32_t MediaType;
    char16_t FileSystem[32];
    std::int64_t FreeSpace;
    std::int64_t Size;
    char16_t VolumeName[64];
    BYTE QuotasDisabled;
    char16_t Description[64];
    char16_t ProviderName[261];
};

struct CmProcessorRecord {
    char16_t Caption[256];
    char16_t Name[256];
    char16_t Description[256];
    char16_t Manufacturer[256];
    char16_t ProcessorId[64];
    char16_t DeviceID[32];
    std::int32_t CurrentClockSpeed;
    std::int32_t MaxClockSpeed;
    std::int32_t LoadPercentage;
    std::int32_t Revision;
};

// Used for the CD-ROM and the floppy drives alike.
struct CmRemovableDriveRecord {
    char16_t Name[64];
    char16_t Caption[64];
    char16_t Description[64];
    char16_t Drive[32];
    char16_t Id[32];
    char16_t Manufacturer[64];
    char16_t MediaType[32];
    char16_t Status[32];
    std::int32_t Availability;
    std::int32_t ConfigManagerErrorCode;
    std::int32_t MediaLoaded;
};

using CmDiskDriveBlock = CmRecordBlock<CmDiskDriveRecord>;
using CmLogicalDiskPartitionBlock = CmRecordBlock<CmLogicalDiskPartitionRecord>;
using CmLogicalDiskBlock = CmRecordBlock<CmLogicalDiskRecord>;
using CmProcessorBlock = CmRecordBlock<CmProcessorRecord>;
using CmRemovableDriveBlock = CmRecordBlock<CmRemovableDriveRecord>;

// apartment: the COM apartment flag of the caller's "-init" switch; only its
// low byte is used. Null when the query cannot start or finds no instance.
VORNWMI_API CmDiskDriveBlock* Cm_GetDiskDriveInfo(int apartment);
VORNWMI_API CmLogicalDiskPartitionBlock* Cm_GetLogicalDiskPartitionInfo(int apartment);
VORNWMI_API CmLogicalDiskBlock* Cm_GetLogicalDiskInfo(int apartment);
VORNWMI_API CmProcessorBlock* Cm_GetProcessorInfo(int apartment);
VORNWMI_API CmRemovableDriveBlock* Cm_GetCDROMDriveInfo(int apartment);
VORNWMI_API CmRemovableDriveBlock* Cm_GetFloppyDriveInfo(int apartment);

// One zero-filled record holding the last instance; returned also when there
// is none, null only when the query cannot start.
VORNWMI_API CmComputerSystemRecord* Cm_GetComputerSystemInfo(int apartment);
VORNWMI_API CmOperatingSystemRecord* Cm_GetOperatingSystemInfo(int apartment);
