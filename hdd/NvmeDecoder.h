#pragma once

#include "VornHddExport.h"
#include "WinTypes.h"

#include <QString>

#include <cstddef>
#include <vector>

// Decoders of the NVMe data images: the 4096-byte Identify Controller and
// Identify Namespace structures and the 512-byte SMART / Health Information
// log. Pure functions over the bytes; a field that lies outside the image
// reads as 0. All fields are little-endian.
namespace vorn::nvme {

// The log counts in 128 bits; nothing narrower holds every value a
// controller may report.
__extension__ using Uint128 = unsigned __int128;

// Identify Controller.
struct ControllerIdentity {
    QString serial;               // trimmed
    QString model;                // trimmed
    QString firmware;             // trimmed
    DWORD version = 0;            // major in bits 16-31, minor 8-15, tertiary 0-7
    WORD warningTemperatureK = 0; // WCTEMP, 0 when not reported
    WORD criticalTemperatureK = 0;
    Uint128 totalCapacity = 0; // TNVMCAP bytes, 0 when not reported
};
VORNHDD_API ControllerIdentity decodeIdentifyController(const BYTE* image, std::size_t size);

// "NVMe 1.4", "NVMe 1.2.1"; "-" for 0, which controllers before 1.2 report.
VORNHDD_API QString versionText(DWORD version);

// Identify Namespace: size in logical blocks times the data size of the
// format in use; 0 for a zero namespace or an unusable format.
VORNHDD_API Uint128 namespaceCapacity(const BYTE* image, std::size_t size);
// Bytes per logical block of the format in use; 0 when the structure names
// no usable format.
VORNHDD_API long long namespaceBlockSize(const BYTE* image, std::size_t size);

// Byte offsets of the health log fields the facade reads.
namespace health {
constexpr std::size_t kCriticalWarning = 0;
constexpr std::size_t kTemperature = 1;
constexpr std::size_t kAvailableSpare = 3;
constexpr std::size_t kSpareThreshold = 4;
constexpr std::size_t kPercentageUsed = 5;
constexpr std::size_t kDataUnitsRead = 32;
constexpr std::size_t kDataUnitsWritten = 48;
constexpr std::size_t kPowerCycles = 112;
constexpr std::size_t kPowerOnHours = 128;
constexpr std::size_t kMediaErrors = 160;
constexpr std::size_t kErrorLogEntries = 176;
constexpr std::size_t kWarningTemperatureTime = 192;  // minutes above WCTEMP
constexpr std::size_t kCriticalTemperatureTime = 196; // minutes above CCTEMP
constexpr std::size_t kThermalTransitions1 = 216;     // into thermal management 1
constexpr std::size_t kThermalTransitions2 = 220;
constexpr std::size_t kThermalTime1 = 224; // seconds in thermal management 1
constexpr std::size_t kThermalTime2 = 228;
constexpr std::size_t kSensors = 200; // eight 16-bit Kelvin readings
constexpr int kSensorCount = 8;
constexpr std::size_t kDataUnitBytes = 512000; // a data unit is 1000 blocks of 512
} // namespace health

// How a field's number reads.
enum class FieldKind {
    Bits,      // the critical-warning bits
    Kelvin,    // a temperature; 0 is no reading
    Percent,   // 0-255 %
    DataUnits, // thousands of 512-byte blocks
    Count,     // commands, cycles, shutdowns, errors, entries
    Minutes,
    Seconds,
    Hours,
};

struct HealthField {
    std::size_t offset;
    std::size_t size; // 1, 2, 4 or 16 bytes
    const char* key;  // the field's usual English name, as JSON keys write it
    const char* name; // Japanese, UTF-8; healthFieldName shows it
    FieldKind kind;
};

// Every field of the log in log order, the temperature sensors left out
// (they are the array at health::kSensors).
VORNHDD_API const std::vector<HealthField>& healthFields();

// The field's name in the interface language installed now.
VORNHDD_API QString healthFieldName(const HealthField& field);

// The little-endian number of size bytes (at most 16) at offset.
VORNHDD_API Uint128 readLeUint(const BYTE* image, std::size_t size, std::size_t offset,
                               std::size_t length);

// Kelvin to whole degrees Celsius; -1 for 0 K, the log's "no reading".
VORNHDD_API int celsiusOf(unsigned kelvin);

// The verdict of a health log: 1 (a critical warning is raised), 2 (spare
// below its threshold, percentage used at 100 or more, or media errors),
// else 0.
inline constexpr int kVerdictGood = 0;
inline constexpr int kVerdictCritical = 1;
inline constexpr int kVerdictCaution = 2;
VORNHDD_API int healthVerdict(const BYTE* log, std::size_t size);

// The decimal digits of value.
VORNHDD_API QString decimalText(Uint128 value);

// "PCIe 3.0 x4" from sysfs's "8.0 GT/s PCIe" and "4"; "-" without a speed.
VORNHDD_API QString pcieLinkText(const QString& speed, const QString& width);

} // namespace vorn::nvme
