#include "DialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QList>
#include <QPushButton>
#include <QStringList>

#include <algorithm>

namespace vorn::checker {

namespace {

QString AlphabetText() {
    QString text;
    for (char c = 'A'; c <= 'Z'; ++c)
        text += QLatin1Char(c);
    for (char c = 'a'; c <= 'z'; ++c)
        text += QLatin1Char(c);
    return text;
}

} // namespace

CDialogUnits::CDialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // Rounded as the system does: (width / 26 + 1) / 2 over 52 letters.
    m_baseX = (metrics.horizontalAdvance(AlphabetText()) / 26 + 1) / 2;
    m_baseY = metrics.height();
    if (m_baseX <= 0)
        m_baseX = 6;
    if (m_baseY <= 0)
        m_baseY = 12;
}

int CaptionWidth(const QFontMetrics& metrics, const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("&&"), QStringLiteral("\x1f"));
    shown.remove(QLatin1Char('&'));
    shown.replace(QLatin1Char('\x1f'), QLatin1Char('&'));
    int width = 0;
    for (const QString& line : shown.split(QLatin1Char('\n')))
        width = std::max(width, metrics.horizontalAdvance(line));
    return width;
}

int ButtonWidth(const QPushButton& button, int designed) {
    return std::max(designed, button.sizeHint().width());
}

QFont CheckerDialogFont() {
    const QStringList families = QFontDatabase::families();
    QString family = QStringLiteral("IPAPGothic");
    if (!families.contains(family)) {
        family.clear();
        for (const QString& candidate : families) {
            if (QFontDatabase::writingSystems(candidate).contains(QFontDatabase::Japanese)) {
                family = candidate;
                break;
            }
        }
    }
    QFont font = family.isEmpty() ? QFont() : QFont(family);
    font.setPointSize(9);
    return font;
}

} // namespace vorn::checker
