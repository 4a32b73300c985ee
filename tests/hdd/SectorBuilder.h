#pragma once

#include "SectorImage.h"

#include "../support/AtaSectors.h"

#include <QString>

#include <ostream>

// Readable QString values in assertion messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
