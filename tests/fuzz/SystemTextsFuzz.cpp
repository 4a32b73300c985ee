// What the system queries read from procfs, sysfs and /etc: the mount
// table, os-release, meminfo, cpuinfo and the firmware's OEM strings.
#include "FuzzInput.h"

#include "SystemFacts.h"
#include "providers/MountTable.h"
#include "providers/SystemProviders.h"

using namespace vorn::wmi;
using namespace vorn::sysinfo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t which = input.byte() % 6;
    const QByteArray text = input.rest();
    switch (which) {
    case 0:
        // One entry at most per line.
        FUZZ_REQUIRE(parseMountTable(text).size() <= text.count('\n') + 1);
        break;
    case 1:
        unescapeMountField(text);
        break;
    case 2:
        parseOsRelease(text);
        osReleaseValue(text, "PRETTY_NAME");
        describeLinux(text, QStringLiteral("linux"), QStringLiteral("6.1.0"));
        break;
    case 3:
        parseMeminfo(text);
        break;
    case 4:
        parseCpuinfo(text);
        break;
    default:
        parseOemStrings(text);
        break;
    }
    return 0;
}
