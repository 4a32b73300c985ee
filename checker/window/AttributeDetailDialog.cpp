#include "AttributeDetailDialog.h"

#include "DialogUnits.h"
#include "DiskReports.h"
#include "DiskStateLook.h"
#include "Translation.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace vorn::checker {

namespace {

QLabel* AddLabel(QWidget* parent, const CDialogUnits& units, const QString& text, int x, int y,
                 int width, int height = 8) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(units.Rect(x, y, width, height));
    return label;
}

} // namespace

CAttributeDetailDlg::CAttributeDetailDlg(const AttributeFigures& figures, const QString& startDir,
                                         QWidget* parent)
    : QDialog(parent), m_texts(AttributeDetailTextsOf(figures, startDir)) {
    setWindowTitle(Cm_Tr("AttributeDetail", "SMART属性の詳細情報"));
    setFont(CheckerDialogFont());
    const CDialogUnits units(font());
    setFixedSize(units.X(203), units.Y(172));

    auto* about = new QGroupBox(Cm_Tr("AttributeDetail", "属性の説明"), this);
    about->setGeometry(units.Rect(7, 7, 190, 63));
    // A long explanation scrolls instead of being cut off at the bottom.
    auto* description = new QPlainTextEdit(m_texts.description, this);
    description->setObjectName(QStringLiteral("description"));
    description->setGeometry(units.Rect(14, 21, 175, 40));
    description->setReadOnly(true);
    description->setFrameShape(QFrame::NoFrame);
    description->setAccessibleName(about->title());
    QPalette palette = description->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    description->setPalette(palette);
    description->document()->setDocumentMargin(0);

    auto* state = new QGroupBox(Cm_Tr("AttributeDetail", "属性の状況"), this);
    state->setGeometry(units.Rect(7, 77, 189, 66));
    struct Value {
        const char* caption;
        int x, y;
        const QString* text;
        int valueX;
        const char* name;
    };
    const Value values[] = {
        {QT_TRANSLATE_NOOP("AttributeDetail", "初期値："), 15, 92, &m_texts.init, 46, "init"},
        {QT_TRANSLATE_NOOP("AttributeDetail", "現在値："), 15, 104, &m_texts.current, 46,
         "current"},
        {QT_TRANSLATE_NOOP("AttributeDetail", "最悪値："), 74, 92, &m_texts.worst, 106, "worst"},
        {QT_TRANSLATE_NOOP("AttributeDetail", "しきい値："), 74, 104, &m_texts.threshold, 106,
         "threshold"},
        {QT_TRANSLATE_NOOP("AttributeDetail", "劣化率："), 135, 92, &m_texts.depleted, 166,
         "depleted"},
    };
    for (const Value& v : values) {
        QLabel* caption =
            AddLabel(this, units, Cm_Tr("AttributeDetail", v.caption), v.x, v.y, v.valueX - v.x);
        QLabel* value = AddLabel(this, units, *v.text, v.valueX, v.y, 28);
        value->setObjectName(QString::fromLatin1(v.name));
        caption->setBuddy(value);
    }
    // The verdict and the raw count get whole lines: the raw text of a
    // reallocation count or a decoded temperature is longer than a figure.
    const std::pair<const char*, std::pair<const QString*, const char*>> lines[] = {
        {QT_TRANSLATE_NOOP("AttributeDetail", "判定："), {&m_texts.verdict, "verdict"}},
        {QT_TRANSLATE_NOOP("AttributeDetail", "生の値："), {&m_texts.raw, "raw"}},
    };
    int y = 116;
    for (const auto& [captionText, target] : lines) {
        QLabel* caption = AddLabel(this, units, Cm_Tr("AttributeDetail", captionText), 15, y, 31);
        QLabel* value = AddLabel(this, units, *target.first, 46, y, 143);
        value->setObjectName(QString::fromLatin1(target.second));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        caption->setBuddy(value);
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
    close->setGeometry(units.Rect(145, 149, 50, 16));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CAttributeDetailDlg::SetHistory(std::function<void()> open) {
    const CDialogUnits units(font());
    auto* history = new QPushButton(Cm_Tr("AttributeDetail", "履歴(&H)..."), this);
    history->setObjectName(QStringLiteral("history"));
    history->setGeometry(units.Rect(7, 149, 50, 16));
    history->setAutoDefault(false);
    connect(history, &QPushButton::clicked, this, std::move(open));
}

} // namespace vorn::checker
