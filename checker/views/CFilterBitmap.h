#pragma once

#include "CBitmapFilter.h"
#include "CHslColor.h"

#include <QImage>
#include <QString>

#include <vector>

namespace vorn::checker {

// A bitmap that can be replaced by the result of a chain of pixel filters.
// Output buffers are pre-filled with the background colour, so whatever a
// filter leaves unwritten shows that colour.
class CFilterBitmap {
public:
    explicit CFilterBitmap(COLORREF background = MakeColorRef(255, 255, 255))
        : m_crBackground(background) {}

    // Loads the picture at path (a file or a ":/" resource); FALSE and no
    // bitmap when it cannot be read.
    BOOL LoadBitmap(const QString& path);
    void Attach(const QImage& image) { m_image = image; }
    const QImage& Image() const { return m_image; }

    // Runs the filters in order over the bitmap and replaces it by the
    // result. TRUE and no change for an empty list; FALSE, with the bitmap
    // as it was, when there is no bitmap or a filter fails.
    BOOL ApplyFilters(const std::vector<CBitmapFilter*>& filters);

private:
    COLORREF m_crBackground;
    QImage m_image;
};

} // namespace vorn::checker
