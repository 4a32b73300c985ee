#include "DialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QList>
#include <QStringList>

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
