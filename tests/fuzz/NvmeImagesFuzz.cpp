// NVMe Identify Controller, Identify Namespace and SMART / Health log pages
// as a controller might send them, of any length up to 4096 bytes.
#include "FuzzInput.h"

#include "NvmeDecoder.h"

#include <vector>

using namespace vorn::nvme;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t which = input.byte() % 3;
    const QByteArray bytes = input.take(4096);
    // Exactly as long as given, on the heap, so a read past it is seen.
    const std::vector<BYTE> image(bytes.begin(), bytes.end());
    const BYTE* at = image.empty() ? nullptr : image.data();
    switch (which) {
    case 0: {
        const ControllerIdentity identity = decodeIdentifyController(at, image.size());
        versionText(identity.version);
        decimalText(identity.totalCapacity);
        break;
    }
    case 1:
        decimalText(namespaceCapacity(at, image.size()));
        break;
    default: {
        const int verdict = healthVerdict(at, image.size());
        FUZZ_REQUIRE(verdict >= kVerdictGood && verdict <= kVerdictCaution);
        break;
    }
    }
    return 0;
}
