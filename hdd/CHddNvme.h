#pragma once

#include "SectorImage.h"
#include "VornHddExport.h"
#include "WinTypes.h"
#include "platform/DeviceBackend.h"

#include <QString>

#include <array>

// The NVMe side of one disk: its Identify Controller and Identify Namespace
// structures and its health log, as the controller returned them, and the
// facts the device layer gave at the open. Every request writes its trace
// line before it is sent and an error line when it fails; a failed read
// leaves a zero image, never stale data.
class VORNHDD_API CHddNvme {
public:
    using IdentifyImage = std::array<BYTE, 4096>;

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
