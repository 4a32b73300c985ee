#include "StripPainter.h"

#include "DiskStateLook.h"
#include "StripGeometry.h"

#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace {

constexpr int kScale = 2;
constexpr int kCellWidth2x = 52; // a cell on the double-size picture
constexpr int kCellPitch2x = 54;
constexpr int kHeight2x = 48;
constexpr double kEighthTurn = 0.78539816339744830962; // pi / 4

QColor ToColor(const Rgb& c) {
    return QColor(c.red, c.green, c.blue);
}

QString TemperatureText(int temperature) {
    return temperature == kUnknownTemperature ? QStringLiteral("-") : QString::number(temperature);
}

// The rings reach past the cell by K on every side, so that the cell shows
// the part of the ball inside a circle through its corners; one ring per
// pixel of inset, half way into the ball.
void PaintBall(QPainter& p, const QRect& cell, const Rgb& rim) {
    const int half = cell.height() / 2;
    const int reach = -half - static_cast<int>(-half / std::cos(kEighthTurn));
    const int rings = reach / 2 + half;
    const QRect outer = cell.adjusted(-reach, -reach, reach + 1, reach + 1);
    p.save();
    p.setClipRect(cell);
    p.setPen(Qt::NoPen);
    for (int s = 0; s < rings; ++s) {
        p.setBrush(ToColor(BallRing(rim, s, rings)));
        p.drawEllipse(outer.adjusted(s, s, -s, -s));
    }
    p.restore();
}

// A white halo two pixels wide keeps the black figures readable on any
// colour.
void PaintFigures(QPainter& p, const QRect& cell, const QString& text) {
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    p.setPen(Qt::white);
    for (const QPoint shift : {QPoint(-2, 0), QPoint(0, -2), QPoint(2, 0), QPoint(0, 2)})
        p.drawText(cell.translated(shift), flags, text);
    p.setPen(Qt::black);
    p.drawText(cell, flags, text);
}

} // namespace

QFont HeatgaugeFont(int pixelHeight) {
    QFont font(QStringLiteral("IPAGothic"));
    font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixelHeight);
    font.setBold(true);
    return font;
}

QImage PaintStrip(const std::vector<DiskReading>& readings, const ColourScale& scale) {
    const int n = static_cast<int>(readings.size());
    const WinSize size = strip::Size(n);
    QImage big(size.width * kScale, size.height * kScale, QImage::Format_RGB32);
    big.fill(Qt::white);
    {
        QPainter p(&big);
        p.setFont(HeatgaugeFont(38));
        for (int i = 0; i < n; ++i) {
            const QRect cell(kCellPitch2x * i, 0, kCellWidth2x, kHeight2x);
            PaintBall(p, cell, scale.Ball(readings[i].temperature));
            PaintFigures(p, cell, TemperatureText(readings[i].temperature));
        }
    }
    QImage image =
        big.scaled(size.width, size.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter p(&image);
    p.setPen(QColor(128, 128, 128));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < n; ++i) {
        const WinRect c = strip::Cell(i);
        p.drawRect(c.left, c.top, c.Width() - 1, c.Height() - 1);
    }
    for (int i = 0; i < n; ++i) {
        const vorn::DiskState state = readings[i].state;
        if (!vorn::DiskStateWarns(state))
            continue;
        const WinRect c = strip::Cell(i);
        const QRect cell(c.left, c.top, c.Width(), c.Height());
        p.setPen(QPen(vorn::BadgeColour(state), 2));
        p.drawRect(cell.adjusted(1, 1, -1, -1));
        constexpr int kBadge = 10;
        vorn::PaintStateBadge(p, QRect(cell.right() + 1 - kBadge, cell.top(), kBadge, kBadge),
                              state);
    }
    return image;
}

QImage PaintTrayIcon(int temperature, const ColourScale& scale, vorn::DiskState state) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(ToColor(scale.Tray(temperature)));
    QPainter p(&image);
    p.setFont(HeatgaugeFont(12));
    p.setPen(Qt::white);
    p.drawText(image.rect(), Qt::AlignCenter | Qt::TextSingleLine, TemperatureText(temperature));
    if (vorn::DiskStateWarns(state)) {
        // Sixteen pixels leave no room for a badge over the figures.
        p.setPen(QPen(vorn::BadgeColour(state), 2));
        p.drawRect(QRectF(1, 1, 14, 14));
    } else {
        p.setPen(QColor(98, 98, 98));
        p.drawRect(0, 0, 15, 15);
    }
    return image;
}

QImage PaintProgramIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const ColourScale scale;
    PaintBall(p, image.rect(), scale.Colour((scale.minTemp + scale.maxTemp) / 2));
    return image;
}

QIcon ProgramIcon() {
    return QIcon::fromTheme(QStringLiteral("org.vorn.HeatgaugeMini"),
                            QIcon(QPixmap::fromImage(PaintProgramIcon(32))));
}
