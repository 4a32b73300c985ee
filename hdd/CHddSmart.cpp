#include "CHddSmart.h"

#include "AtaRequest.h"
#include "AttributeNames.h"
#include "AttributeNamesForDrive.h"
#include "DeviceIo.h"
#include "ErrorLog.h"
#include "IoControlCodes.h"
#include "SmartDecoder.h"
#include "TemperatureChoice.h"

#include <array>
#include <cstring>

using vorn::ata::Operation;

namespace {

const QString kTraceVersion = QStringLiteral("CHddSmart::GetHddSmartVersion");

QString scsiVersionTrace(int target) {
    return QStringLiteral("CHddInfo::GetSmartVersionScsi-%1").arg(target);
}

BOOL sendDirect(void* device, Operation operation, const char* trace, int drive = 0,
                std::vector<BYTE>* reply = nullptr) {
    std::vector<BYTE> ignored;
    return vorn::ata::sendDirect(device, operation, drive, QString::fromLatin1(trace),
                                 reply ? reply : &ignored);
}

BOOL sendScsi(void* device, Operation operation, const char* trace, int target,
              std::vector<BYTE>* buffer = nullptr) {
    std::vector<BYTE> ignored;
    return vorn::ata::sendScsi(device, operation, target, QString::fromLatin1(trace),
                               buffer ? buffer : &ignored);
}

} // namespace

CHddSmart::CHddSmart() : m_Version{}, m_Attribute{}, m_Threshold{}, m_nStatus(-1) {}

CHddSmart::~CHddSmart() {
    DeleteDisplayAttribute();
}

// --- Requests ---------------------------------------------------------------

BOOL CHddSmart::GetSmartVersion(void* hDevice) {
    std::vector<BYTE> reply;
    const BOOL ok = vorn::ata::sendDirect(hDevice, Operation::Version, 0, kTraceVersion, &reply);
    return StoreVersion(ok, reply.data());
}

BOOL CHddSmart::GetSmartVersionScsi(void* hDevice, int nTarget) {
    std::vector<BYTE> buffer;
    const BOOL ok = vorn::ata::sendScsi(hDevice, Operation::Version, nTarget,
                                        scsiVersionTrace(nTarget), &buffer);
    return StoreVersion(ok, buffer.data() + vorn::platform::layout::kScsiOutData);
}

BOOL CHddSmart::StoreVersion(BOOL ok, const BYTE* reply) {
    m_Version = win::GETVERSIONINPARAMS{};
    if (!ok)
        return ok;
    namespace layout = vorn::platform::layout;
    const std::size_t size = layout::kVersionSize;
    m_Version.bVersion = reply[offsetof(win::GETVERSIONINPARAMS, bVersion)];
    m_Version.bRevision = reply[offsetof(win::GETVERSIONINPARAMS, bRevision)];
    m_Version.bReserved = reply[offsetof(win::GETVERSIONINPARAMS, bReserved)];
    m_Version.bIDEDeviceMap = reply[layout::kVersionDeviceMap];
    m_Version.fCapabilities = vorn::le::read32(reply, size, layout::kVersionCapabilities);
    for (std::size_t i = 0; i < std::size(m_Version.dwReserved); ++i)
        m_Version.dwReserved[i] = vorn::le::read32(reply, size, layout::kVersionReserved + 4 * i);
    Cm_WriteErrorString(QStringLiteral("%1 %2 %3 %4 %5")
                            .arg(m_Version.bVersion)
                            .arg(m_Version.bRevision)
                            .arg(m_Version.bReserved)
                            .arg(m_Version.bIDEDeviceMap)
                            .arg(static_cast<std::int32_t>(m_Version.fCapabilities)));
    return ok;
}

BOOL CHddSmart::EnableSmart(void* hDevice) {
    return sendDirect(hDevice, Operation::Enable, "CHddSmart::EnableSmart");
}

BOOL CHddSmart::EnableSmartScsi(void* hDevice, int nTarget) {
    return sendScsi(hDevice, Operation::Enable, "CHddSmart::EnableSmartScsi", nTarget);
}

BOOL CHddSmart::DisableSmart(void* hDevice) {
    return sendDirect(hDevice, Operation::Disable, "CHddSmart::DisableSmart");
}

BOOL CHddSmart::DisableSmartScsi(void* hDevice, int nTarget) {
    return sendScsi(hDevice, Operation::Disable, "CHddSmart::DisableSmartScsi", nTarget);
}

BOOL CHddSmart::EnableSmartAutoSave(void* hDevice) {
    return sendDirect(hDevice, Operation::AutoSaveOn, "CHddSmart::EnableSmartAutoSave");
}

BOOL CHddSmart::EnableSmartAutoSaveScsi(void* hDevice, int nTarget) {
    return sendScsi(hDevice, Operation::AutoSaveOn, "CHddSmart::EnableSmartAutoSaveScsi", nTarget);
}

BOOL CHddSmart::DisableSmartAutoSave(void* hDevice) {
    return sendDirect(hDevice, Operation::AutoSaveOff, "CHddSmart::DisableSmartAutoSave");
}

BOOL CHddSmart::DisableSmartAutoSaveScsi(void* hDevice, int nTarget) {
    return sendScsi(hDevice, Operation::AutoSaveOff, "CHddSmart::DisableSmartAutoSaveScsi",
                    nTarget);
}

int CHddSmart::GetSmartStatus(void* hDevice) {
    m_nStatus = -1;
    std::vector<BYTE> reply;
    const BOOL ok =
        sendDirect(hDevice, Operation::ReturnStatus, "CHddSmart::GetSmartStatus", 0, &reply);
    return StatusFromReply(ok, reply.data(), vorn::platform::layout::kOutStatusLow,
                           vorn::platform::layout::kOutStatusHigh);
}

int CHddSmart::GetSmartStatusScsi(void* hDevice, int nTarget) {
    m_nStatus = -1;
    std::vector<BYTE> buffer;
    const BOOL ok = sendScsi(hDevice, Operation::ReturnStatus, "CHddSmart::GetSmartStatusScsi",
                             nTarget, &buffer);
    return StatusFromReply(ok, buffer.data(), vorn::platform::layout::kScsiOutStatusLow,
                           vorn::platform::layout::kScsiOutStatusHigh);
}

int CHddSmart::StatusFromReply(BOOL ok, const BYTE* reply, std::size_t lowOffset,
                               std::size_t highOffset) {
    if (ok)
        m_nStatus = vorn::smart::verdictFromRegisters(reply[lowOffset], reply[highOffset]);
    return m_nStatus;
}

BOOL CHddSmart::GetSmartAttribute(void* hDevice, int nDrive) {
    std::vector<BYTE> reply;
    const BOOL ok =
        sendDirect(hDevice, Operation::ReadData, "CHddSmart::GetSmartAttribute", nDrive, &reply);
    return StoreSector(ok, reply.data() + vorn::platform::layout::kOutData, &m_Attribute);
}

BOOL CHddSmart::GetSmartAttributeScsi(void* hDevice, int nTarget) {
    std::vector<BYTE> buffer;
    const BOOL ok = sendScsi(hDevice, Operation::ReadData, "CHddSmart::GetSmartAttributeScsi",
                             nTarget, &buffer);
    return StoreSector(ok, buffer.data() + vorn::platform::layout::kScsiOutData, &m_Attribute);
}

BOOL CHddSmart::GetSmartThresholds(void* hDevice, int nDrive) {
    std::vector<BYTE> reply;
    const BOOL ok = sendDirect(hDevice, Operation::ReadThresholds, "CHddSmart::GetSmartThresholds",
                               nDrive, &reply);
    return StoreSector(ok, reply.data() + vorn::platform::layout::kOutData, &m_Threshold);
}

BOOL CHddSmart::GetSmartThresholdsScsi(void* hDevice, int nTarget) {
    std::vector<BYTE> buffer;
    const BOOL ok = sendScsi(hDevice, Operation::ReadThresholds,
                             "CHddSmart::GetSmartThresholdsScsi", nTarget, &buffer);
    return StoreSector(ok, buffer.data() + vorn::platform::layout::kScsiOutData, &m_Threshold);
}

BOOL CHddSmart::StoreSector(BOOL ok, const BYTE* sector, SectorImage* image) {
    if (ok)
        std::memcpy(image->data(), sector, image->size());
    else
        image->fill(0);
    return ok;
}

BOOL CHddSmart::SendCommandAta(HANDLE hDevice, BYTE command, BYTE feature, BYTE sectorCount,
                               BYTE* pData, DWORD length, BOOL bAtaPassThrough) {
    std::vector<BYTE> buffer;
    DWORD requestLength = 0;
    DWORD controlCode = 0;
    std::size_t dataOffset = 0;
    if (bAtaPassThrough) {
        buffer = vorn::ata::ataPassThroughRequest(command, feature, sectorCount, length);
        requestLength = vorn::ata::ataPassThroughLength(length);
        controlCode = win::IOCTL_ATA_PASS_THROUGH;
        dataOffset = vorn::platform::layout::kAtaPassThroughSize;
    } else {
        buffer = vorn::ata::idePassThroughRequest(command, feature, sectorCount, length);
        requestLength = static_cast<DWORD>(buffer.size());
        controlCode = win::IOCTL_IDE_PASS_THROUGH;
        dataOffset = vorn::platform::layout::kIdeData;
    }
    if (buffer.empty())
        return FALSE;
    DWORD returned = 0;
    const BOOL ok = win::DeviceIoControl(hDevice, controlCode, buffer.data(), requestLength,
                                         buffer.data(), requestLength, &returned, nullptr);
    if (ok && pData && length != 0)
        std::memcpy(pData, buffer.data() + dataOffset, length);
    return ok;
}

// --- Getters ------------------------------------------------------------------

int CHddSmart::GetStatus() const {
    return vorn::smart::combinedVerdict(m_nStatus,
                                        vorn::smart::failingAttributes(m_Attribute, m_Threshold));
}

std::vector<BYTE> CHddSmart::GetFailingAttributes() const {
    std::vector<BYTE> ids;
    for (const vorn::smart::FailingAttribute& failing :
         vorn::smart::failingAttributes(m_Attribute, m_Threshold))
        ids.push_back(failing.id);
    return ids;
}

int CHddSmart::GetTemperature() const {
    return vorn::hdd::chooseTemperature(m_Attribute, {}, {}).degrees;
}

int CHddSmart::GetPowerOnHours() const {
    return vorn::smart::rawCount(m_Attribute, vorn::smart::kIdPowerOnHours);
}

long long CHddSmart::GetPowerCycle() const {
    return vorn::smart::unsignedCount(m_Attribute, vorn::smart::kIdPowerCycles);
}

// --- Display list -------------------------------------------------------------

CHddSmartDisp* CHddSmart::SearchDisplayAttribute(const CHddSmartDispList& list, int nId) {
    for (CHddSmartDisp* record : list) {
        if (record->m_byId == nId)
            return record;
    }
    return nullptr;
}

void CHddSmart::GetDisplayAttribute() {
    GetDisplayAttribute(vorn::hdd::DriveKnowledge{});
}

void CHddSmart::GetDisplayAttribute(const vorn::hdd::DriveKnowledge& knowledge) {
    CHddSmartDispList previous = std::move(m_DispList);
    m_DispList = CHddSmartDispList();
    for (int k = 0; k < vorn::smart::kEntryCount; ++k) {
        const vorn::smart::AttributeEntry entry = vorn::smart::attributeEntry(m_Attribute, k);
        if (entry.id == 0)
            continue;
        std::unique_ptr<CHddSmartDisp> record =
            previous.Take(SearchDisplayAttribute(previous, entry.id));
        if (!record) {
            record = std::make_unique<CHddSmartDisp>();
            record->m_byId = entry.id;
        }
        // The name is taken again at every read: the knowledge can change
        // when the drive database is updated between two reads.
        const vorn::smart::AttributeLabel label = vorn::smart::attributeLabel(entry.id, knowledge);
        record->m_byImportance = label.importance;
        record->m_strName = label.name;
        record->m_strNameKey = label.key;
        record->m_bTemperature = label.temperature;
        const auto known = knowledge.attributes.find(entry.id);
        record->m_bRawFormatKnown = known != knowledge.attributes.end() &&
                                    known->second.format != vorn::hdd::RawFormat::Raw48;
        record->m_RawFormat =
            record->m_bRawFormatKnown ? known->second.format : vorn::hdd::RawFormat::Raw48;
        record->m_wFlags = entry.flags;
        record->m_Entry = entry.bytes;
        record->m_nCurrent = entry.current;
        record->m_nWorst = entry.worst;
        record->m_nThreshold = vorn::smart::thresholdValue(m_Threshold, k);
        record->m_nRaw = entry.raw;
        record->m_nRaw48 = entry.raw48;
        if (record->m_nCurrent < record->m_nWorst)
            record->m_nWorst = record->m_nCurrent;
        m_DispList.AddTail(std::move(record));
    }
    // Whatever is left in previous belongs to attributes that disappeared;
    // it is destroyed with it.
}

void CHddSmart::DeleteDisplayAttribute() {
    m_DispList.RemoveAll();
}

void CHddSmart::SetInitValue() {
    for (CHddSmartDisp* record : m_DispList) {
        record->m_nInit = record->m_nCurrent;
        record->m_nChange = record->m_nCurrent;
    }
}

void CHddSmart::SetChangeValue() {
    for (CHddSmartDisp* record : m_DispList)
        record->m_nChange = record->m_nCurrent;
}

void CHddSmart::SetChangeValue(CHddSmartDisp* pDisp) {
    if (pDisp)
        pDisp->m_nChange = pDisp->m_nCurrent;
}

bool CHddSmart::IsChanged(const CHddSmartDisp& record) {
    // A temperature is one by the drive's meaning, not by its ID alone: an
    // SSD's 231 is its life left and its changes count.
    const bool excluded =
        record.m_bTemperature || (!vorn::smart::isTemperatureAttribute(record.m_byId) &&
                                  vorn::smart::excludedFromChangeQueries(record.m_byId));
    return !excluded && record.m_nChange != -1 && record.m_nCurrent != record.m_nChange;
}

BOOL CHddSmart::GetChangeDepleted(QList<CHddSmartDisp*>& list) const {
    for (CHddSmartDisp* record : m_DispList) {
        if (IsChanged(*record))
            list.append(record);
    }
    return !list.isEmpty();
}

CHddSmartDisp* CHddSmart::GetMaxChangeDepleted() const {
    double best = 0.0;
    CHddSmartDisp* answer = nullptr;
    for (CHddSmartDisp* record : m_DispList) {
        if (!IsChanged(*record))
            continue;
        const double depleted = record->CalcDepleted();
        if (depleted > best) {
            best = depleted;
            answer = record;
        }
    }
    return answer;
}
