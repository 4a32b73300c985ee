// The simulated machine's files: machine.ini, disk.ini and the sector hex
// files. The first byte picks the parser.
#include "FuzzInput.h"

#include "SimMachine.h"

using namespace vorn::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t which = input.byte() % 3;
    const QByteArray text = input.rest();
    SimParseError error;
    switch (which) {
    case 0:
        parseSimMachineIni(text, &error);
        break;
    case 1: {
        SimDisk disk;
        if (parseSimDiskIni(text, &disk, &error)) {
            disk.index();
            disk.scsiPort();
            disk.scsiTargetId();
        }
        break;
    }
    default:
        if (const auto sector = parseSimSectorHex(text, &error))
            FUZZ_REQUIRE(sector->size() == 512);
        if (const auto pages = parseSimPagesHex(text, kSimStatisticsMaxPages, &error))
            FUZZ_REQUIRE(!pages->isEmpty() && pages->size() % 512 == 0 &&
                         pages->size() <= kSimStatisticsMaxPages * 512);
        break;
    }
    return 0;
}
