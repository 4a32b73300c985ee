// The Windows request buffers the device layer decodes (S.M.A.R.T. driver,
// SCSI miniport, ATA and IDE pass-through), served by a device that answers
// every allowed command with a sector of the input.
#include "FuzzInput.h"

#include "DeviceRequests.h"
#include "IoControlCodes.h"

#include <cstring>
#include <vector>

using namespace vorn::platform;

namespace {

class EchoDevice : public OpenDevice {
public:
    explicit EchoDevice(const QByteArray& sector) : m_sector(sector) {}
    QString path() const override { return QStringLiteral("fuzz"); }
    int version(RequestTarget, BYTE* map) override {
        *map = 1;
        return 0;
    }

protected:
    AtaOutcome executeAllowed(RequestTarget, const AtaCommand& command, BYTE* data) override {
        if (command.dataIn)
            std::memcpy(data, m_sector.constData(), static_cast<std::size_t>(m_sector.size()));
        AtaOutcome outcome;
        outcome.returned = command.registers;
        return outcome;
    }

private:
    QByteArray m_sector;
};

constexpr DWORD kCodes[] = {win::SMART_GET_VERSION,        win::SMART_RCV_DRIVE_DATA,
                            win::SMART_SEND_DRIVE_COMMAND, win::IOCTL_SCSI_MINIPORT,
                            win::IOCTL_ATA_PASS_THROUGH,   win::IOCTL_IDE_PASS_THROUGH};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const DWORD code = kCodes[input.byte() % (sizeof kCodes / sizeof kCodes[0])];
    const std::size_t outSize = (input.byte() | input.byte() << 8) % 1200;
    QByteArray sector = input.take(512);
    sector.resize(512);
    const QByteArray request = input.rest();

    EchoDevice device(sector);
    std::vector<BYTE> in(request.begin(), request.end());
    std::vector<BYTE> out(outSize, 0);
    DWORD returned = 0;
    serveDeviceRequest(device, code, in.empty() ? nullptr : in.data(), DWORD(in.size()),
                       out.empty() ? nullptr : out.data(), DWORD(out.size()), &returned);
    FUZZ_REQUIRE(returned <= out.size());
    return 0;
}
