// What the privileged helper decodes from an unprivileged caller: request
// bytes, the disk name, and its own sysfs device numbers; and what the
// client decodes from the helper's reply.
#include "FuzzInput.h"

#include "platform/AtaCommandSet.h"
#include "platform/HelperProtocol.h"

#include <vector>

using namespace vorn::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::size_t requestSize = input.byte() % 32;
    const QByteArray request = input.take(requestSize);
    const QByteArray rest = input.rest();

    const std::vector<BYTE> bytes(request.begin(), request.end());
    const helper::DecodedRequest decoded = helper::decodeRequest(bytes.data(), bytes.size());
    // No request the allow-list refuses ever gets an action to authorise.
    if (helper::actionFor(decoded))
        FUZZ_REQUIRE(decoded.status == helper::DecodedRequest::Ok &&
                     ata::classifyCommand(decoded.ata) != ata::CommandClass::Refused);

    BYTE sector[kSectorSize] = {};
    AtaOutcome outcome;
    helper::decodeAtaReply(rest, decoded.ata, &outcome, sector);
    helper::isAcceptableDiskName(QString::fromUtf8(rest));
    helper::parseSysfsDevNumber(rest);
    return 0;
}
