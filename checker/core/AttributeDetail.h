#pragma once

#include <QString>

namespace vorn::checker {

// The texts of the attribute detail dialog, built without a window so the
// command-line tool and tests see exactly what the dialog shows.

// What the dialog needs of one display record.
struct AttributeFigures {
    int id = 0; // which explanation the description file gives
    QString name;
    int importance = 0; // 0 low, 1 medium, 2 high
    int init = -1;
    int current = -1;
    int worst = -1;
    int threshold = -1;
    double depleted = 0.0; // the record's depletion percentage
    QString rawText;       // the raw value as the drive's format prints it
    bool belowThreshold = false;
};

struct AttributeDetailTexts {
    QString description; // "name [重要度：word]" and the explanation after an empty line
    QString init;
    QString current;
    QString worst;
    QString threshold;
    QString depleted;
    QString verdict; // where the current value stands against the threshold
    QString raw;     // the raw value as the drive's format prints it
};

// "低", "中", "高" for 0, 1, 2; empty for any other level.
QString ImportanceWord(int importance);

// "%.1f %" of the depletion. A depletion that is not a number or infinite
// (initial value equal to the threshold) shows "- %": "-" is how every view
// marks a missing value, and a list cell reading "-" draws no bar.
QString FormatDepletion(double depleted);

AttributeDetailTexts MakeAttributeDetailTexts(const AttributeFigures& figures,
                                              const QString& explanation);

} // namespace vorn::checker
