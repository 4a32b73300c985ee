#include "CFilterBitmap.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vorn::checker {

namespace {

using PixelBuffer = std::vector<BYTE>;

std::size_t BufferBytes(int width, int height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

// White (or -1) and black fill every byte; other colours fill the three
// colour bytes of each pixel.
void FillBackground(PixelBuffer& buffer, int width, int height, COLORREF color) {
    const std::size_t bytes = BufferBytes(width, height);
    if (color == MakeColorRef(255, 255, 255) || color == 0xFFFFFFFF) {
        std::fill_n(buffer.begin(), bytes, BYTE(255));
    } else if (color == 0) {
        std::fill_n(buffer.begin(), bytes, BYTE(0));
    } else {
        for (std::size_t i = 0; i < bytes; i += 4) {
            buffer[i] = static_cast<BYTE>((color >> 16) & 0xFF);
            buffer[i + 1] = static_cast<BYTE>((color >> 8) & 0xFF);
            buffer[i + 2] = static_cast<BYTE>(color & 0xFF);
        }
    }
}

bool ReadPixels(const QImage& image, PixelBuffer& buffer) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull())
        return false;
    buffer.assign(BufferBytes(rgb.width(), rgb.height()), 0);
    std::size_t i = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x, i += 4) {
            buffer[i] = static_cast<BYTE>(qBlue(line[x]));
            buffer[i + 1] = static_cast<BYTE>(qGreen(line[x]));
            buffer[i + 2] = static_cast<BYTE>(qRed(line[x]));
        }
    }
    return true;
}

QImage WritePixels(const PixelBuffer& buffer, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    std::size_t i = 0;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x, i += 4)
            line[x] = qRgb(buffer[i + 2], buffer[i + 1], buffer[i]);
    }
    return image;
}

} // namespace

BOOL CFilterBitmap::LoadBitmap(const QString& path) {
    m_image = QImage(path);
    return m_image.isNull() ? FALSE : TRUE;
}

BOOL CFilterBitmap::ApplyFilters(const std::vector<CBitmapFilter*>& filters) {
    if (m_image.isNull())
        return FALSE;
    if (filters.empty())
        return TRUE;

    // Buffers are sized once for the largest size met along the chain.
    int width = m_image.width(), height = m_image.height();
    int maxWidth = width, maxHeight = height;
    for (const CBitmapFilter* filter : filters) {
        filter->GetOutputSize(width, height);
        maxWidth = std::max(maxWidth, width);
        maxHeight = std::max(maxHeight, height);
    }

    PixelBuffer input;
    if (!ReadPixels(m_image, input))
        return FALSE;
    PixelBuffer output(BufferBytes(maxWidth, maxHeight));
    FillBackground(output, maxWidth, maxHeight, m_crBackground);

    int inWidth = m_image.width(), inHeight = m_image.height();
    int outWidth = inWidth, outHeight = inHeight;
    for (std::size_t i = 0; i < filters.size(); ++i) {
        if (i > 0) {
            // The previous output is the next input.
            inWidth = outWidth;
            inHeight = outHeight;
            const std::size_t bytes = BufferBytes(inWidth, inHeight);
            if (input.size() < bytes)
                input.assign(bytes, 0);
            std::copy_n(output.begin(), bytes, input.begin());
            FillBackground(output, inWidth, inHeight, m_crBackground);
        }
        outWidth = inWidth;
        outHeight = inHeight;
        filters[i]->GetOutputSize(outWidth, outHeight);
        if (!filters[i]->Process(input.data(), inWidth, inHeight, output.data(), outWidth,
                                 outHeight))
            return FALSE;
    }

    const QImage result = WritePixels(output, outWidth, outHeight);
    if (result.isNull())
        return FALSE;
    m_image = result;
    return TRUE;
}

} // namespace vorn::checker
