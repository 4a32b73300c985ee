// One line of comma-separated text, wide and Shift-JIS, with the separator,
// the quote and the number of fields taken from the input.
#include "FuzzInput.h"

#include "CsvLine.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const int count = input.byte() % 12;
    const char separator = static_cast<char>(input.byte());
    const char quote = static_cast<char>(input.byte());
    const QByteArray text = input.rest();

    // Wide: the bytes in pairs, zero-terminated.
    std::vector<char16_t> wide(static_cast<std::size_t>(text.size()) / 2 + 1, 0);
    std::memcpy(wide.data(), text.constData(), static_cast<std::size_t>(text.size()) / 2 * 2);
    wide.back() = 0;
    std::vector<char16_t*> fields(12, nullptr);
    Cm_CSVAlloc(fields.data(), 6); // half given, half made on demand
    const int stored =
        Cm_CSVAnalyze(wide.data(), fields.data(), count, static_cast<char16_t>(separator),
                      static_cast<char16_t>(quote));
    FUZZ_REQUIRE(stored >= 0 && stored <= count);
    Cm_CSVFree(fields.data(), 12);

    std::vector<char> narrow(text.begin(), text.end());
    narrow.push_back('\0');
    // Each check reads the text from its start, so checking every position
    // would make long inputs cost their square: a few dozen spread over the
    // text, and both ends, reach the same code.
    const int last = int(text.size()) + 1;
    const int step = std::max(1, last / 32);
    for (int position = 0; position < last; position += step)
        Cm_CheckKanjiCode(narrow.data(), position);
    Cm_CheckKanjiCode(narrow.data(), last - 1);
    Cm_CheckKanjiCode(narrow.data(), last);
    std::vector<char*> sjisFields(12, nullptr);
    Cm_CSVAllocSjis(sjisFields.data(), 6);
    const int storedSjis =
        Cm_CSVAnalyzeSjis(narrow.data(), sjisFields.data(), count, separator, quote);
    FUZZ_REQUIRE(storedSjis >= 0 && storedSjis <= count);
    Cm_CSVFreeSjis(sjisFields.data(), 12);
    return 0;
}
