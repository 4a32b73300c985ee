#pragma once

#include <QString>

// Bridges between QString and the zero-terminated UTF-16 strings that the
// exported C-style functions take.
inline const char16_t* Cm_WidePtr(const QString& text) {
    return reinterpret_cast<const char16_t*>(text.utf16());
}

inline QString Cm_FromWide(const char16_t* text) {
    return text ? QString::fromUtf16(text) : QString();
}
