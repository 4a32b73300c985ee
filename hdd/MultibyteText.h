#pragma once

#include <QString>

namespace vorn::hdd {

// Text from a zero-terminated byte string in the system's multibyte code
// page, through the common library's converter; empty when it fails.
QString fromMultibyte(const char* bytes);

} // namespace vorn::hdd
