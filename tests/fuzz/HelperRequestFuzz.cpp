// What the privileged helper decodes from an unprivileged caller: request
// bytes, the disk name, and its own sysfs device numbers; and what the
// client decodes from the helper's reply.
#include "FuzzInput.h"

#include "AtaCommandSet.h"
#include "HelperProtocol.h"
#include "NvmeCommandSet.h"

#include <vector>

using namespace vorn::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::size_t requestSize = input.byte() % 48;
    const QByteArray request = input.take(requestSize);
    const QByteArray rest = input.rest();

    const std::vector<BYTE> bytes(request.begin(), request.end());
    const helper::DecodedRequest decoded = helper::decodeRequest(bytes.data(), bytes.size());
    // No request the allow-list refuses ever gets an action to authorise
    // (reads and self-tests alike).
    if (helper::actionFor(decoded)) {
        const bool allowed = decoded.kind == helper::RequestKind::NvmeAdmin
                                 ? nvme::classifyCommand(decoded.nvme) != nvme::CommandClass::Refused
                                 : ata::classifyCommand(decoded.ata) != ata::CommandClass::Refused;
        FUZZ_REQUIRE(decoded.status == helper::DecodedRequest::Ok && allowed);
    }
    // The helper's buffer is sized by the bound, never by the caller.
    if (decoded.status == helper::DecodedRequest::Ok) {
        FUZZ_REQUIRE(decoded.nvme.dataLength <= helper::kMaxNvmeDataLength);
        FUZZ_REQUIRE(decoded.ata.dataLength() <= DWORD(kMaxAtaBlocks) * kSectorSize);
    }

    BYTE blocks[kMaxAtaBlocks * kSectorSize] = {};
    AtaOutcome outcome;
    helper::decodeAtaReply(rest, decoded.ata, &outcome, blocks);
    BYTE image[helper::kMaxNvmeDataLength] = {};
    NvmeOutcome nvmeOutcome;
    helper::decodeNvmeReply(rest, decoded.nvme, &nvmeOutcome, image);
    helper::isNvmeNamespaceName(QString::fromUtf8(rest));
    helper::isAcceptableDiskName(QString::fromUtf8(rest));
    helper::parseSysfsDevNumber(rest);
    return 0;
}
