#include "StripPainter.h"

#include "DiskStateLook.h"
#include "StripGeometry.h"

#include <QPainter>
#include <QPixmap>

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kScale = 2;
constexpr int kCellWidth2x = 52; // a cell on the double-size picture
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

// A frame of width window pixels just inside area, filled rather than
// stroked so that it covers whole device pixels at any ratio.
void FillFrame(QPainter& p, const QRectF& area, qreal width, const QColor& colour) {
    p.fillRect(QRectF(area.left(), area.top(), area.width(), width), colour);
    p.fillRect(QRectF(area.left(), area.bottom() - width, area.width(), width), colour);
    p.fillRect(QRectF(area.left(), area.top(), width, area.height()), colour);
    p.fillRect(QRectF(area.right() - width, area.top(), width, area.height()), colour);
}

// Where there is no temperature: the unknown grey, lightened half way to
// white so that the black "-" stands out as on the balls.
Rgb NeutralBox(const ColourScale& scale) {
    const Rgb grey = scale.Ball(kUnknownTemperature);
    const auto lighter = [](int c) { return std::min(255, c + (255 - c) / 2); };
    return {lighter(grey.red), lighter(grey.green), lighter(grey.blue)};
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

QImage PaintStrip(const std::vector<DiskReading>& readings, const ColourScale& scale, qreal ratio,
                  int columns) {
    ratio = std::max<qreal>(ratio, 1);
    const int n = static_cast<int>(readings.size());
    const WinSize size = strip::Size(n, columns);
    const QSize device(qCeil(size.width * ratio), qCeil(size.height * ratio));
    // Twice the device size, reduced smoothly: the balls' edges and the
    // figures come out as smooth at any ratio as at 1.
    QImage big(device * kScale, QImage::Format_RGB32);
    big.fill(Qt::white);
    {
        QPainter p(&big);
        p.scale(ratio, ratio);
        p.setFont(HeatgaugeFont(38));
        for (int i = 0; i < n; ++i) {
            const WinRect c = strip::Cell(i, columns);
            const QRect cell(c.left * kScale, c.top * kScale, kCellWidth2x, kHeight2x);
            const int temperature = readings[i].temperature;
            if (temperature == kUnknownTemperature)
                p.fillRect(cell, ToColor(NeutralBox(scale)));
            else
                PaintBall(p, cell, scale.Ball(temperature));
            PaintFigures(p, cell, TemperatureText(temperature));
        }
    }
    QImage image = big.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(ratio);
    QPainter p(&image);
    for (int i = 0; i < n; ++i) {
        const WinRect c = strip::Cell(i, columns);
        FillFrame(p, QRectF(c.left, c.top, c.Width(), c.Height()), 1, QColor(128, 128, 128));
    }
    for (int i = 0; i < n; ++i) {
        const vorn::DiskState state = readings[i].state;
        if (!vorn::DiskStateWarns(state))
            continue;
        const WinRect c = strip::Cell(i, columns);
        const QRect cell(c.left, c.top, c.Width(), c.Height());
        FillFrame(p, QRectF(cell).adjusted(1, 1, -1, -1), 2, vorn::BadgeColour(state));
        constexpr int kBadge = 10;
        vorn::PaintStateBadge(p, QRect(cell.right() + 1 - kBadge, cell.top(), kBadge, kBadge),
                              state);
    }
    return image;
}

QImage PaintTrayIcon(int temperature, const ColourScale& scale, vorn::DiskState state,
                     qreal ratio) {
    ratio = std::max<qreal>(ratio, 1);
    const int side = qCeil(16 * ratio);
    QImage image(side, side, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(ToColor(scale.Tray(temperature)));
    QPainter p(&image);
    p.setFont(HeatgaugeFont(12));
    p.setPen(Qt::white);
    const QRectF square(0, 0, 16, 16);
    p.drawText(square, Qt::AlignCenter | Qt::TextSingleLine, TemperatureText(temperature));
    if (vorn::DiskStateWarns(state)) {
        // Sixteen pixels leave no room for a badge over the figures.
        FillFrame(p, square, 2, vorn::BadgeColour(state));
    } else {
        FillFrame(p, square, 1, QColor(98, 98, 98));
    }
    return image;
}

QIcon TrayIcon(int temperature, const ColourScale& scale, vorn::DiskState state) {
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0})
        icon.addPixmap(QPixmap::fromImage(PaintTrayIcon(temperature, scale, state, ratio)));
    return icon;
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
