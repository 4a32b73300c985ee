#pragma once

#include <QFont>
#include <QRect>

class QFontMetrics;
class QPushButton;
class QString;

namespace vorn::checker {

// The window's layout is given in dialog units, which scale with the dialog
// font: a horizontal unit is a quarter of the font's average character width
// (taken over A-Z and a-z) and a vertical unit an eighth of its line height.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);

    int X(int units) const { return (units * m_baseX + 2) / 4; }
    int Y(int units) const { return (units * m_baseY + 4) / 8; }
    QRect Rect(int x, int y, int width, int height) const {
        return QRect(X(x), Y(y), X(width), Y(height));
    }

private:
    int m_baseX;
    int m_baseY;
};

// The width text takes on one line, without the "&" that marks a mnemonic:
// what a caption needs so that no letter is cut off.
int CaptionWidth(const QFontMetrics& metrics, const QString& text);

// The width a push button needs for its caption, at least designed: the
// layout's own width, which an English caption may exceed.
int ButtonWidth(const QPushButton& button, int designed);

// The face every window of the checker uses, so the layout does not move
// with the desktop's font: IPA Gothic 9 pt, or another Japanese face when it
// is not installed.
QFont CheckerDialogFont();

} // namespace vorn::checker
