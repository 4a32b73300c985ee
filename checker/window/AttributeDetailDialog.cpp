#include "AttributeDetailDialog.h"

#include "DialogUnits.h"
#include "DiskReports.h"
#include "DiskStateLook.h"
#include "Translation.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>
#include <iterator>

namespace vorn::checker {

CAttributeDetailDlg::CAttributeDetailDlg(const AttributeFigures& figures, const QString& startDir,
                                         QWidget* parent)
    : QDialog(parent), m_texts(AttributeDetailTextsOf(figures, startDir)) {
    setWindowTitle(Cm_Tr("AttributeDetail", "SMART属性の詳細情報"));
    setFont(CheckerDialogFont());
    const CDialogUnits units(font());
    const QFontMetrics metrics(font());

    // The figures stand in three columns of caption and value, the verdict
    // and the raw value on lines of their own under the first. A caption
    // column is as wide as the layout has it or as its widest caption asks,
    // and the columns, the frames and the dialog widen with it.
    struct Value {
        const char* caption;
        int column, y;
        const QString* text;
        const char* name;
    };
    const Value values[] = {
        {QT_TRANSLATE_NOOP("AttributeDetail", "初期値："), 0, 92, &m_texts.init, "init"},
        {QT_TRANSLATE_NOOP("AttributeDetail", "現在値："), 0, 104, &m_texts.current, "current"},
        {QT_TRANSLATE_NOOP("AttributeDetail", "最悪値："), 1, 92, &m_texts.worst, "worst"},
        {QT_TRANSLATE_NOOP("AttributeDetail", "しきい値："), 1, 104, &m_texts.threshold,
         "threshold"},
        {QT_TRANSLATE_NOOP("AttributeDetail", "劣化率："), 2, 92, &m_texts.depleted, "depleted"},
    };
    // The verdict and the raw count get whole lines: the raw text of a
    // reallocation count or a decoded temperature is longer than a figure.
    const std::pair<const char*, std::pair<const QString*, const char*>> lines[] = {
        {QT_TRANSLATE_NOOP("AttributeDetail", "判定："), {&m_texts.verdict, "verdict"}},
        {QT_TRANSLATE_NOOP("AttributeDetail", "生の値："), {&m_texts.raw, "raw"}},
    };
    constexpr int kColumns = 3;
    const int designedCaption[kColumns] = {units.X(31), units.X(32), units.X(31)};
    const int gapAfter[kColumns] = {0, units.X(1), 0};
    // A full-width colon carries its own space before the value; an ASCII
    // one (English) gets a space's width, or the value would touch it.
    const auto needed = [&](const char* caption) {
        const QString text = Cm_Tr("AttributeDetail", caption);
        return CaptionWidth(metrics, text) +
               (text.endsWith(QLatin1Char(':')) ? metrics.horizontalAdvance(QLatin1Char(' ')) : 0);
    };
    int captionWidth[kColumns];
    std::copy(std::begin(designedCaption), std::end(designedCaption), captionWidth);
    for (const Value& v : values)
        captionWidth[v.column] = std::max(captionWidth[v.column], needed(v.caption));
    for (const auto& line : lines)
        captionWidth[0] = std::max(captionWidth[0], needed(line.first));
    int captionX[kColumns];
    int x = units.X(15);
    for (int c = 0; c < kColumns; ++c) {
        captionX[c] = x;
        x += captionWidth[c] + units.X(28) + gapAfter[c];
    }
    const int frameRight = std::max(units.X(196), x + units.X(2));
    const int width = std::max(units.X(203), frameRight + units.X(7));
    setFixedSize(width, units.Y(172));

    auto* about = new QGroupBox(Cm_Tr("AttributeDetail", "属性の説明"), this);
    about->setGeometry(units.X(7), units.Y(7), frameRight - units.X(7) + units.X(1), units.Y(63));
    // A long explanation scrolls instead of being cut off at the bottom.
    auto* description = new QPlainTextEdit(m_texts.description, this);
    description->setObjectName(QStringLiteral("description"));
    description->setGeometry(units.X(14), units.Y(21), about->width() - units.X(15), units.Y(40));
    description->setReadOnly(true);
    description->setFrameShape(QFrame::NoFrame);
    description->setAccessibleName(about->title());
    QPalette palette = description->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    description->setPalette(palette);
    description->document()->setDocumentMargin(0);

    auto* state = new QGroupBox(Cm_Tr("AttributeDetail", "属性の状況"), this);
    state->setGeometry(units.X(7), units.Y(77), frameRight - units.X(7), units.Y(66));
    const auto addPair = [&](const QString& captionText, const QString& valueText, int left,
                             int captionW, int y, int valueW, const char* name) {
        auto* caption = new QLabel(captionText, this);
        caption->setGeometry(left, units.Y(y), captionW, units.Y(8));
        auto* value = new QLabel(valueText, this);
        value->setGeometry(left + captionW, units.Y(y), valueW, units.Y(8));
        value->setObjectName(QString::fromLatin1(name));
        caption->setBuddy(value);
        return value;
    };
    for (const Value& v : values)
        addPair(Cm_Tr("AttributeDetail", v.caption), *v.text, captionX[v.column],
                captionWidth[v.column], v.y, units.X(28), v.name);
    int y = 116;
    const int lineValueX = captionX[0] + captionWidth[0];
    for (const auto& [captionText, target] : lines) {
        QLabel* value =
            addPair(Cm_Tr("AttributeDetail", captionText), *target.first, captionX[0],
                    captionWidth[0], y, frameRight - units.X(7) - lineValueX, target.second);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        y += 12;
    }
    if (figures.belowThreshold) {
        auto* verdict = findChild<QLabel*>(QStringLiteral("verdict"));
        const DiskStateLook look = LookOf(DiskState::Failing, QWidget::palette());
        verdict->setText(look.mark + QLatin1Char(' ') + m_texts.verdict);
        QPalette red = verdict->palette();
        red.setColor(QPalette::WindowText, look.colour);
        verdict->setPalette(red);
    }

    auto* close = new QPushButton(Cm_Tr("AttributeDetail", "閉じる"), this);
    const int closeWidth = ButtonWidth(*close, units.X(50));
    close->setGeometry(frameRight - units.X(1) - closeWidth, units.Y(149), closeWidth, units.Y(16));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CAttributeDetailDlg::SetHistory(std::function<void()> open) {
    const CDialogUnits units(font());
    auto* history = new QPushButton(Cm_Tr("AttributeDetail", "履歴(&H)..."), this);
    history->setObjectName(QStringLiteral("history"));
    history->setGeometry(units.X(7), units.Y(149), ButtonWidth(*history, units.X(50)), units.Y(16));
    history->setAutoDefault(false);
    connect(history, &QPushButton::clicked, this, std::move(open));
}

} // namespace vorn::checker
