#include "MultibyteText.h"

#include "TextConvert.h"

#include <memory>

namespace vorn::hdd {

QString fromMultibyte(const char* bytes) {
    const std::unique_ptr<char16_t[]> wide(Cm_ToUnicode(bytes));
    return wide ? QString::fromUtf16(wide.get()) : QString();
}

} // namespace vorn::hdd
