#include "CHddNvme.h"

#include "AtaRequest.h"
#include "DeviceIo.h"
#include "ErrorLog.h"
#include "NvmeCommandSet.h"
#include "NvmeDecoder.h"

#include <algorithm>
#include <climits>

namespace {

namespace cmd = vorn::platform::nvme;

template <typename Image>
BOOL Read(void* hDevice, const vorn::platform::NvmeAdminCommand& command, Image* image) {
    const vorn::platform::NvmeOutcome outcome =
        vorn::platform::SendNvmeAdminCommand(hDevice, command, image->data());
    if (outcome.succeeded())
        return TRUE;
    vorn::ata::logLastError();
    image->fill(0);
    return FALSE;
}

int IntOrUnknown(vorn::nvme::Uint128 value) {
    return value > static_cast<vorn::nvme::Uint128>(INT_MAX) ? -1 : static_cast<int>(value);
}

} // namespace

NvmeIdentifyImage::NvmeIdentifyImage(const NvmeIdentifyImage& other)
    : m_bytes(other.m_bytes ? std::make_unique<std::array<BYTE, kSize>>(*other.m_bytes) : nullptr) {
}

NvmeIdentifyImage& NvmeIdentifyImage::operator=(const NvmeIdentifyImage& other) {
    if (this != &other)
        m_bytes =
            other.m_bytes ? std::make_unique<std::array<BYTE, kSize>>(*other.m_bytes) : nullptr;
    return *this;
}

const BYTE* NvmeIdentifyImage::data() const {
    static const std::array<BYTE, kSize> zeros{};
    return m_bytes ? m_bytes->data() : zeros.data();
}

BYTE* NvmeIdentifyImage::data() {
    if (!m_bytes)
        m_bytes = std::make_unique<std::array<BYTE, kSize>>();
    return m_bytes->data();
}

void NvmeIdentifyImage::fill(BYTE value) {
    if (value == 0 && !m_bytes)
        return;
    std::fill_n(data(), kSize, value);
}

bool NvmeIdentifyImage::operator==(const NvmeIdentifyImage& other) const {
    return std::equal(data(), data() + kSize, other.data());
}

CHddNvme::CHddNvme() : m_HealthLog{}, m_bHealthLog(FALSE) {}

BOOL CHddNvme::GetIdentify(void* hDevice) {
    Cm_WriteErrorString(QStringLiteral("CHddNvme::GetIdentifyController"));
    const BOOL controller = Read(hDevice, cmd::identifyController(), &m_IdentifyController);
    Cm_WriteErrorString(
        QStringLiteral("CHddNvme::GetIdentifyNamespace-%1").arg(m_Facts.namespaceId));
    Read(hDevice, cmd::identifyNamespace(m_Facts.namespaceId), &m_IdentifyNamespace);
    return controller;
}

BOOL CHddNvme::GetHealthLog(void* hDevice) {
    Cm_WriteErrorString(QStringLiteral("CHddNvme::GetHealthLog"));
    m_bHealthLog =
        Read(hDevice, cmd::getLogPage(cmd::kLogHealth, cmd::kAllNamespaces, cmd::kHealthLogSize),
             &m_HealthLog);
    return m_bHealthLog;
}

QString CHddNvme::GetSerialNumber() const {
    return vorn::nvme::decodeIdentifyController(m_IdentifyController.data(),
                                                m_IdentifyController.size())
        .serial;
}

QString CHddNvme::GetFirmwareRev() const {
    return vorn::nvme::decodeIdentifyController(m_IdentifyController.data(),
                                                m_IdentifyController.size())
        .firmware;
}

QString CHddNvme::GetModelNumber() const {
    return vorn::nvme::decodeIdentifyController(m_IdentifyController.data(),
                                                m_IdentifyController.size())
        .model;
}

LONGLONG CHddNvme::GetCapacity() const {
    const vorn::nvme::Uint128 bytes =
        vorn::nvme::namespaceCapacity(m_IdentifyNamespace.data(), m_IdentifyNamespace.size());
    return bytes > static_cast<vorn::nvme::Uint128>(LLONG_MAX) ? 0 : static_cast<LONGLONG>(bytes);
}

QString CHddNvme::GetVersion() const {
    return vorn::nvme::versionText(vorn::nvme::decodeIdentifyController(m_IdentifyController.data(),
                                                                        m_IdentifyController.size())
                                       .version);
}

QString CHddNvme::GetTransferMode(int nCurrent) const {
    const vorn::platform::PcieLink& link = m_Facts.link;
    return nCurrent ? vorn::nvme::pcieLinkText(link.currentSpeed, link.currentWidth)
                    : vorn::nvme::pcieLinkText(link.maxSpeed, link.maxWidth);
}

int CHddNvme::GetStatus() const {
    if (!m_bHealthLog)
        return -1;
    return vorn::nvme::healthVerdict(m_HealthLog.data(), m_HealthLog.size());
}

int CHddNvme::GetTemperature() const {
    if (!m_bHealthLog)
        return -1;
    return vorn::nvme::celsiusOf(static_cast<unsigned>(vorn::nvme::readLeUint(
        m_HealthLog.data(), m_HealthLog.size(), vorn::nvme::health::kTemperature, 2)));
}

int CHddNvme::GetPowerOnHours() const {
    if (!m_bHealthLog)
        return -1;
    return IntOrUnknown(vorn::nvme::readLeUint(m_HealthLog.data(), m_HealthLog.size(),
                                               vorn::nvme::health::kPowerOnHours, 16));
}

int CHddNvme::GetPowerCycle() const {
    if (!m_bHealthLog)
        return -1;
    return IntOrUnknown(vorn::nvme::readLeUint(m_HealthLog.data(), m_HealthLog.size(),
                                               vorn::nvme::health::kPowerCycles, 16));
}
