// Report templates against device images of every size from 0 to 512 bytes.
// The image is exactly as large as said, on the heap, so that a read past it
// is seen.
#include "FuzzInput.h"

#include "ReportTemplate.h"

#include <QList>

#include <vector>

using namespace vorn::checker;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::size_t imageSize = (input.byte() | input.byte() << 8) % 513;
    const QByteArray imageBytes = input.take(imageSize);
    std::vector<BYTE> image(imageSize, 0);
    std::copy(imageBytes.begin(), imageBytes.end(), image.begin());
    const QByteArray templateFile = input.rest();

    const ReportExpansion expansion =
        ExpandReportTemplate(templateFile, image.empty() ? nullptr : image.data(), image.size());
    FUZZ_REQUIRE(expansion.linesExpanded >= 0 && expansion.bytesRequested >= 0);
    for (const QByteArray& line : templateFile.split('\n')) {
        if (const auto parsed = ParseTemplateLine(line))
            FUZZ_REQUIRE(TemplateLineSize(*parsed) >= 0);
    }
    return 0;
}
