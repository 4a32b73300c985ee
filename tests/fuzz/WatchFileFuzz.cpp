// Watch files of any content: what reads as a watch file writes back to
// bytes that read as the same state, so accepting never drifts.
#include "FuzzInput.h"

#include "AlertWatch.h"

using namespace vorn::diskpass;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::optional<WatchState> state = DecodeWatchState(input.rest());
    if (!state)
        return 0;
    const QByteArray written = EncodeWatchState(*state);
    const std::optional<WatchState> again = DecodeWatchState(written);
    FUZZ_REQUIRE(again.has_value());
    FUZZ_REQUIRE(EncodeWatchState(*again) == written);
    return 0;
}
