#include "CHddInfo.h"

#include "AtaRequest.h"
#include "IdentifyDecoder.h"
#include "NumberFormat.h"

#include <cstring>

using vorn::ata::Operation;
namespace identify = vorn::identify;

CHddInfo::CHddInfo() : m_Identify{} {}

CHddInfo& CHddInfo::operator=(const CHddInfo& other) {
    m_Identify = other.m_Identify;
    return *this;
}

BOOL CHddInfo::GetHddInfo(void* hDevice, int nDrive) {
    std::vector<BYTE> reply;
    const BOOL ok =
        vorn::ata::sendDirect(hDevice, Operation::Identify, nDrive,
                              QStringLiteral("CHddInfo::GetHddInfo-%1").arg(nDrive), &reply);
    return StoreIdentify(ok, reply.data() + vorn::platform::layout::kOutData);
}

BOOL CHddInfo::GetHddInfoScsi(void* hDevice, int nTarget) {
    std::vector<BYTE> buffer;
    const BOOL ok =
        vorn::ata::sendScsi(hDevice, Operation::Identify, nTarget,
                            QStringLiteral("CHddInfo::GetHddInfoScsi-%1").arg(nTarget), &buffer);
    return StoreIdentify(ok, buffer.data() + vorn::platform::layout::kScsiOutData);
}

BOOL CHddInfo::StoreIdentify(BOOL ok, const BYTE* sector) {
    if (ok)
        std::memcpy(m_Identify.data(), sector, m_Identify.size());
    else
        m_Identify.fill(0);
    // The device sends its texts with each byte pair exchanged.
    SwapTextFields();
    return ok;
}

void CHddInfo::SwapTextFields() {
    Cm_ChangeByteOrder(m_Identify.data() + identify::kSerialOffset, identify::kSerialLength);
    Cm_ChangeByteOrder(m_Identify.data() + identify::kFirmwareOffset, identify::kFirmwareLength);
    Cm_ChangeByteOrder(m_Identify.data() + identify::kModelOffset, identify::kModelLength);
}

BOOL CHddInfo::SupportSMART() const {
    return identify::supportsSmart(m_Identify);
}

BOOL CHddInfo::EnableSMART() const {
    return identify::smartEnabled(m_Identify);
}

QString CHddInfo::GetSerialNumber() const {
    return identify::serialNumber(m_Identify);
}

QString CHddInfo::GetFirmwareRev() const {
    return identify::firmwareRevision(m_Identify);
}

QString CHddInfo::GetModelNumber() const {
    return identify::modelNumber(m_Identify);
}

QString CHddInfo::GetManufacturer() const {
    return identify::manufacturer(m_Identify);
}

long CHddInfo::GetBufferCapacity() const {
    return identify::bufferCapacity(m_Identify);
}

LONGLONG CHddInfo::Get28LBACapacity() const {
    return identify::capacity28(m_Identify);
}

LONGLONG CHddInfo::Get48LBACapacity() const {
    return identify::capacity48(m_Identify);
}

LONGLONG CHddInfo::GetChsCapacity() const {
    return identify::capacityChs(m_Identify);
}

LONGLONG CHddInfo::GetDiskCapacity() const {
    return identify::chosenCapacity(m_Identify);
}

double CHddInfo::Get28LBACapacityGB() const {
    return identify::toGigabytes(Get28LBACapacity());
}

double CHddInfo::Get48LBACapacityGB() const {
    return identify::toGigabytes(Get48LBACapacity());
}

double CHddInfo::GetChsCapacityGB() const {
    return identify::toGigabytes(GetChsCapacity());
}

QString CHddInfo::GetMajorVersion() const {
    return identify::majorVersion(m_Identify);
}

QString CHddInfo::GetInterface() const {
    return identify::interfaceName(m_Identify);
}

QString CHddInfo::GetTransferMode(int nCurrent) const {
    return identify::transferMode(m_Identify, nCurrent);
}

QString CHddInfo::GetParallelTransferMode(int nCurrent) const {
    return identify::parallelTransferMode(m_Identify, nCurrent);
}

QString CHddInfo::GetSerialTransferMode(int nCurrent) const {
    return identify::serialTransferMode(m_Identify, nCurrent);
}
