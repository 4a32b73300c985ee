// The temperature monitor's settings file: read, changed and written back,
// then read again to the same settings.
#include "FuzzInput.h"

#include "HeatgaugeSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const QByteArray profile = input.rest();
    const WinRect place{100, 100, 400, 130};
    const HeatgaugeSettings settings = ParseSettings(profile, place);
    const QByteArray written = WriteSettings(profile, settings);
    const QByteArray again = WriteSettings(written, ParseSettings(written, place));
    FUZZ_REQUIRE(again == written);
    return 0;
}
