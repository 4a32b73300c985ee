// Sense data and the SG_IO status fields of a pass-through reply, as a
// translator or a broken bridge might return them.
#include "FuzzInput.h"

#include "SatCommand.h"

#include <vector>

using namespace vorn::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    sat::SgReply reply;
    reply.scsiStatus = input.byte();
    reply.hostStatus = static_cast<unsigned short>(input.byte() | input.byte() << 8);
    reply.driverStatus = static_cast<unsigned short>(input.byte() | input.byte() << 8);
    reply.residual = static_cast<signed char>(input.byte());
    const std::uint8_t flags = input.byte();
    AtaCommand command;
    command.dataIn = flags & 1;
    command.registers.command = input.byte();
    // Exactly the bytes the reply says were written, on the heap, so that a
    // read past them is seen.
    const QByteArray sense = input.rest();
    const std::vector<BYTE> bytes(sense.begin(), sense.end());
    reply.sense = bytes.empty() ? nullptr : bytes.data();
    reply.senseLength = bytes.size();

    if (const auto parsed = sat::parseSense(reply.sense, reply.senseLength))
        sat::isOpcodeRejected(*parsed);
    sat::senseOf(reply);
    const AtaOutcome outcome = sat::interpretReply(reply, command, flags & 2);
    FUZZ_REQUIRE(outcome.transportError >= 0);
    return 0;
}
