#include "AttributeDetail.h"

#include "Translation.h"

#include <cmath>
#include <cstdio>

namespace vorn::checker {

QString ImportanceWord(int importance) {
    switch (importance) {
    case 0:
        return Cm_Tr("AttributeDetail", "低");
    case 1:
        return Cm_Tr("AttributeDetail", "中");
    case 2:
        return Cm_Tr("AttributeDetail", "高");
    default:
        return QString();
    }
}

QString FormatDepletion(double depleted) {
    if (!std::isfinite(depleted))
        return QStringLiteral("- %");
    // The C runtime's rounding, so the text matches a printf of the same value.
    char text[64];
    std::snprintf(text, sizeof text, "%.1f %%", depleted);
    return QString::fromLatin1(text);
}

AttributeDetailTexts MakeAttributeDetailTexts(const AttributeFigures& figures,
                                              const QString& explanation) {
    AttributeDetailTexts texts;
    texts.description = Cm_Tr("AttributeDetail", "%1 [重要度：%2]\n\n%3")
                            .arg(figures.name, ImportanceWord(figures.importance), explanation);
    texts.init = QString::number(figures.init);
    texts.current = QString::number(figures.current);
    texts.worst = QString::number(figures.worst);
    texts.threshold = QString::number(figures.threshold);
    texts.depleted = FormatDepletion(figures.depleted);
    // A threshold of 0 means the drive keeps no limit for the attribute.
    if (figures.belowThreshold)
        texts.verdict = Cm_Tr("AttributeDetail", "しきい値以下（異常）");
    else if (figures.threshold > 0)
        texts.verdict = Cm_Tr("AttributeDetail", "しきい値を上回る");
    else
        texts.verdict = Cm_Tr("AttributeDetail", "しきい値なし");
    texts.raw = figures.rawText.isEmpty() ? QStringLiteral("-") : figures.rawText;
    return texts;
}

} // namespace vorn::checker
