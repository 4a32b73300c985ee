#pragma once

#include <QString>

#include <cstdlib>
#include <memory>

// The query functions hand out malloc'ed blocks; tests hold them in these
// and read their fixed-size text fields back as QString.
namespace wmitest {

struct FreeBlock {
    void operator()(void* p) const { std::free(p); }
};
template <typename T> using Owned = std::unique_ptr<T, FreeBlock>;

inline QString text(const char16_t* field) {
    return QString::fromUtf16(field);
}

} // namespace wmitest
