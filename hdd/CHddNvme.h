#pragma once

#include "DeviceBackend.h"
#include "SectorImage.h"
#include "VornHddExport.h"
#include "WinTypes.h"

#include <QString>

#include <array>
#include <memory>

// The NVMe side of one disk: its Identify Controller and Identify Namespace
// structures and its health log, as the controller returned them, and the
// facts the device layer gave at the open. Every request writes its trace
// line before it is sent and an error line when it fails; a failed read
// leaves a zero image, never stale data.
// A 4 KiB Identify structure as it arrived, zeros until then. The bytes live
// on the heap from the first write on: most disks are ATA disks that never
// get one, and two zeroed structures in place made every disk object 8 KiB
// larger, which a scan of many disks paid for in cleared pages.
class VORNHDD_API NvmeIdentifyImage {
public:
    static constexpr std::size_t kSize = 4096;

    NvmeIdentifyImage() = default;
    NvmeIdentifyImage(const NvmeIdentifyImage& other);
    NvmeIdentifyImage& operator=(const NvmeIdentifyImage& other);
    NvmeIdentifyImage(NvmeIdentifyImage&&) noexcept = default;
    NvmeIdentifyImage& operator=(NvmeIdentifyImage&&) noexcept = default;

    const BYTE* data() const;
    BYTE* data();
    static constexpr std::size_t size() { return kSize; }
    void fill(BYTE value);
    bool operator==(const NvmeIdentifyImage& other) const;

private:
    std::unique_ptr<std::array<BYTE, kSize>> m_bytes;
};

class VORNHDD_API CHddNvme {
public:
    using IdentifyImage = NvmeIdentifyImage;

    CHddNvme();

    // Identify Controller, then Identify Namespace of m_Facts.namespaceId.
    // TRUE when the controller answered: a namespace that does not only
    // costs the disk its size, which the system then supplies.
    BOOL GetIdentify(void* hDevice);
    // The SMART / Health Information log of the whole controller.
    BOOL GetHealthLog(void* hDevice);

    QString GetSerialNumber() const;
    QString GetFirmwareRev() const;
    QString GetModelNumber() const;
    // Namespace size in bytes; 0 when unknown or beyond 64 bits.
    LONGLONG GetCapacity() const;
    QString GetVersion() const;                  // "NVMe 1.4"
    QString GetTransferMode(int nCurrent) const; // "PCIe 3.0 x4"
    // -1 until a health log arrived; else 0 good, 1 critical, 2 caution.
    int GetStatus() const;
    int GetTemperature() const;  // degrees Celsius or -1
    int GetPowerOnHours() const; // hours, or -1 beyond int
    int GetPowerCycle() const;   // or -1 beyond int

    IdentifyImage m_IdentifyController;
    IdentifyImage m_IdentifyNamespace;
    SectorImage m_HealthLog;
    BOOL m_bHealthLog; // the health log above came from the controller
    vorn::platform::NvmeDeviceFacts m_Facts;
};
