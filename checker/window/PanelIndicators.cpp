#include "PanelIndicators.h"

#include <QLabel>

// Plain stand-ins until the painted controls join the build: the same
// inputs shown as text.

QWidget* CreateTemperatureBox(QWidget* parent) {
    auto* box = new QLabel(QStringLiteral("-"), parent);
    box->setAlignment(Qt::AlignCenter);
    QFont font = box->font();
    font.setPointSize(24);
    box->setFont(font);
    box->setAccessibleName(QStringLiteral("-"));
    return box;
}

void SetTemperatureBox(QWidget* box, const QString& text) {
    static_cast<QLabel*>(box)->setText(text);
    box->setAccessibleName(text);
}

QWidget* CreatePowerOnBox(QWidget* parent) {
    auto* box = new QLabel(QStringLiteral("-"), parent);
    box->setAccessibleName(QStringLiteral("-"));
    return box;
}

void SetPowerOnBox(QWidget* box, const PowerOnInputs& inputs) {
    auto* label = static_cast<QLabel*>(box);
    label->setText(FormatPowerOn(inputs));
    label->setToolTip(FormatPowerOnTip(inputs));
    box->setAccessibleName(label->text());
}

QWidget* CreateDiskSquare(QWidget* button, const QIcon& icon, CDisk* disk) {
    (void)icon;
    (void)disk;
    (void)button;
    return nullptr;
}
