// The attribute description file (UTF-16LE "ID,name,explanation" lines).
#include "FuzzInput.h"

#include "AttributeDescription.h"

using namespace vorn::checker;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const int id = input.byte();
    FindAttributeDescription(input.rest(), id);
    return 0;
}
