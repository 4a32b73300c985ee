#pragma once

#include "SectorImage.h"
#include "VornHddExport.h"
#include "WinTypes.h"

#include <QString>

// The IDENTIFY DEVICE sector of one disk and what it says. m_Identify is
// public: the programs patch it (the S.M.A.R.T.-enabled bit, the 48-bit
// sector count, an empty model) and the decoders read it as it stands.
// The three text fields are held in reading order.
class VORNHDD_API CHddInfo {
public:
    CHddInfo();
    CHddInfo(const CHddInfo& other) = default;
    CHddInfo& operator=(const CHddInfo& other);

    // IDENTIFY DEVICE into m_Identify (zero-filled when it fails), on the
    // direct path with nDrive, respectively the SCSI port path with nTarget.
    BOOL GetHddInfo(void* hDevice, int nDrive);
    BOOL GetHddInfoScsi(void* hDevice, int nTarget);

    BOOL SupportSMART() const;
    BOOL EnableSMART() const;
    QString GetSerialNumber() const;
    QString GetFirmwareRev() const;
    QString GetModelNumber() const;
    QString GetManufacturer() const;
    long GetBufferCapacity() const;
    LONGLONG Get28LBACapacity() const;
    LONGLONG Get48LBACapacity() const;
    LONGLONG GetChsCapacity() const;
    LONGLONG GetDiskCapacity() const;
    double Get28LBACapacityGB() const;
    double Get48LBACapacityGB() const;
    double GetChsCapacityGB() const;
    QString GetMajorVersion() const;
    QString GetInterface() const;
    // nCurrent 0: the best mode supported; otherwise the mode in use.
    QString GetTransferMode(int nCurrent) const;
    QString GetParallelTransferMode(int nCurrent) const;
    QString GetSerialTransferMode(int nCurrent) const;

    // Exchanges the byte pairs of the serial, firmware and model fields.
    void SwapTextFields();

    SectorImage m_Identify;

private:
    BOOL StoreIdentify(BOOL ok, const BYTE* sector);
};
