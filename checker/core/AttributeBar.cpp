#include "AttributeBar.h"

#include <algorithm>
#include <cmath>

namespace vorn::checker {

int DepletionBarLength(int areaWidth, const QString& cellText) {
    if (areaWidth <= 0)
        return 0;
    bool ok = false;
    const double percent = cellText.section(QLatin1Char(' '), 0, 0).toDouble(&ok);
    if (!ok || !std::isfinite(percent))
        return 0;
    const double length = std::clamp(areaWidth * percent / 100.0, 0.0, double(areaWidth));
    return static_cast<int>(length + 0.01);
}

unsigned BarAreaColor(int importance) {
    return importance != 0 ? kBarAreaImportant : kBarAreaOrdinary;
}

} // namespace vorn::checker
