// Device paths, kernel disk names and the object paths that carry drive
// names and disk numbers between the system queries.
#include "FuzzInput.h"

#include "DeviceBackend.h"
#include "DiskEnumeration.h"
#include "WideText.h"
#include "WmiPaths.h"

using namespace vorn::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t split = input.byte();
    const QByteArray bytes = input.rest();
    const QString text = QString::fromUtf8(bytes);
    const QString other = QString::fromUtf8(bytes.left(split));

    if (const auto path = parseDevicePath(text))
        FUZZ_REQUIRE(path->number >= 0);
    isPhysicalDiskName(text);
    // A namespace's controller is the name's own leading part.
    if (const auto nvme = parseNvmeNamespaceName(text))
        FUZZ_REQUIRE(nvme->controller.size() > 4 && text.startsWith(nvme->controller));
    // A strict weak order: never both a < b and b < a.
    FUZZ_REQUIRE(!(physicalDiskNameLess(text, other) && physicalDiskNameLess(other, text)));
    FUZZ_REQUIRE(!physicalDiskNameLess(text, text));
    Cm_GetVolumeDriveName(text);
    Cm_GetVolumeDriveName(Cm_WidePtr(text));
    Cm_GetPartitionDiskNumber(text);
    Cm_GetPartitionDiskNumber(Cm_WidePtr(text));
    return 0;
}
