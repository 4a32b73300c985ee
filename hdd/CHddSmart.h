#pragma once

#include "CHddSmartDisp.h"
#include "DriveKnowledge.h"
#include "RequestLayouts.h"
#include "SectorImage.h"
#include "VornHddExport.h"
#include "WinTypes.h"

#include <QList>

#include <vector>

// The S.M.A.R.T. state of one disk: the version reply, the attribute and
// threshold sectors, the health verdict and the display records. Every
// request writes its trace line before it is sent and an error line when
// it fails; a failed read leaves a zero sector, never stale data.
class VORNHDD_API CHddSmart {
public:
    CHddSmart();
    CHddSmart(const CHddSmart&) = delete;
    CHddSmart& operator=(const CHddSmart&) = delete;
    ~CHddSmart();

    BOOL GetSmartVersion(void* hDevice);
    BOOL GetSmartVersionScsi(void* hDevice, int nTarget);
    BOOL EnableSmart(void* hDevice);
    BOOL EnableSmartScsi(void* hDevice, int nTarget);
    BOOL DisableSmart(void* hDevice);
    BOOL DisableSmartScsi(void* hDevice, int nTarget);
    BOOL EnableSmartAutoSave(void* hDevice);
    BOOL EnableSmartAutoSaveScsi(void* hDevice, int nTarget);
    BOOL DisableSmartAutoSave(void* hDevice);
    BOOL DisableSmartAutoSaveScsi(void* hDevice, int nTarget);
    // The verdict: -1 unknown or failed, 0 good, 1 threshold exceeded.
    int GetSmartStatus(void* hDevice);
    int GetSmartStatusScsi(void* hDevice, int nTarget);
    BOOL GetSmartAttribute(void* hDevice, int nDrive);
    BOOL GetSmartAttributeScsi(void* hDevice, int nTarget);
    BOOL GetSmartThresholds(void* hDevice, int nDrive);
    BOOL GetSmartThresholdsScsi(void* hDevice, int nTarget);

    // The verdict of the registers joined with the attributes: -1 unknown,
    // 0 good, 1 failing, 2 caution (an attribute at or below its threshold
    // while the registers say good, or say nothing and no pre-failure
    // attribute fails).
    int GetStatus() const;
    // The IDs at or below their non-zero thresholds, in sector order.
    std::vector<BYTE> GetFailingAttributes() const;
    // Degrees Celsius or -1, by the generic rules (no drive knowledge).
    int GetTemperature() const;
    int GetPowerOnHours() const;     // raw count, no unit conversion, or -1
    long long GetPowerCycle() const; // raw bytes 0-3 unsigned, or -1

    // One ATA command through the ATA pass-through (length at most 512) or
    // the IDE pass-through; length data bytes are copied into pData when it
    // is not null and the request succeeds. Writes no trace line.
    BOOL SendCommandAta(HANDLE hDevice, BYTE command, BYTE feature, BYTE sectorCount, BYTE* pData,
                        DWORD length, BOOL bAtaPassThrough);

    // Rebuilds m_DispList from the sectors, one record per non-empty entry,
    // named for this drive by knowledge; records of IDs still present keep
    // their identity and remembered values.
    void GetDisplayAttribute(const vorn::hdd::DriveKnowledge& knowledge);
    // The same for a drive nothing is known about.
    void GetDisplayAttribute();
    void DeleteDisplayAttribute();
    // Every record: m_nInit = m_nChange = m_nCurrent.
    void SetInitValue();
    // Every record, respectively pDisp: m_nChange = m_nCurrent.
    void SetChangeValue();
    void SetChangeValue(CHddSmartDisp* pDisp);
    // Appends the changed records to list (not owned by it); TRUE when list
    // is not empty afterwards.
    BOOL GetChangeDepleted(QList<CHddSmartDisp*>& list) const;
    // The changed record with the greatest depletion above 0, or null.
    CHddSmartDisp* GetMaxChangeDepleted() const;

    win::GETVERSIONINPARAMS m_Version; // the reply of the version request, kept whole
    SectorImage m_Attribute;
    SectorImage m_Threshold;
    CHddSmartDispList m_DispList;
    int m_nStatus;

protected:
    static CHddSmartDisp* SearchDisplayAttribute(const CHddSmartDispList& list, int nId);

private:
    int StatusFromReply(BOOL ok, const BYTE* reply, std::size_t lowOffset, std::size_t highOffset);
    BOOL StoreVersion(BOOL ok, const BYTE* reply);
    static BOOL StoreSector(BOOL ok, const BYTE* sector, SectorImage* image);
    static bool IsChanged(const CHddSmartDisp& record);
};
