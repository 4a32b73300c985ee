#include "DiskStateLook.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace vorn {

namespace {

bool IsDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

} // namespace

DiskStateLook LookOf(DiskState state, const QPalette& palette) {
    const bool dark = IsDark(palette);
    DiskStateLook look;
    look.mark = DiskStateMark(state);
    look.word = DiskStateWord(state);
    look.warns = DiskStateWarns(state);
    switch (state) {
    case DiskState::Failing:
        look.colour = dark ? QColor(255, 110, 110) : QColor(192, 0, 0);
        break;
    case DiskState::Caution:
        // Amber on white needs a darker shade than the badge to be read.
        look.colour = dark ? QColor(255, 190, 60) : QColor(160, 90, 0);
        break;
    case DiskState::Good:
        look.colour = palette.color(QPalette::WindowText);
        break;
    case DiskState::Unknown:
        look.colour = palette.color(QPalette::Disabled, QPalette::WindowText);
        break;
    }
    return look;
}

QColor BadgeColour(DiskState state) {
    switch (state) {
    case DiskState::Failing:
        return QColor(210, 0, 0);
    case DiskState::Caution:
        return QColor(240, 160, 0);
    case DiskState::Unknown:
        return QColor(128, 128, 128);
    case DiskState::Good:
        break;
    }
    return {};
}

void PaintStateBadge(QPainter& painter, const QRect& area, DiskState state) {
    if (!DiskStateWarns(state))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(BadgeColour(state));
    painter.drawEllipse(QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(6, area.height() * 2 / 3));
    painter.setFont(font);
    // Plain letters rather than the tip's glyphs, so that no emoji font
    // decides their colour.
    const QString glyph = state == DiskState::Failing ? QStringLiteral("×") : QStringLiteral("!");
    painter.setPen(Qt::white);
    painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, glyph);
    painter.restore();
}

} // namespace vorn
