#pragma once

#include "PanelText.h"

#include <QString>

class CDisk;
class QIcon;
class QWidget;

// Where the painted indicators plug into the window: the temperature box,
// the power-on time box and the square on each disk button. The window
// only creates them and hands them their inputs; each also carries its
// text as its accessible name, which is how screen readers read a picture.

QWidget* CreateTemperatureBox(QWidget* parent);
void SetTemperatureBox(QWidget* box, const QString& text);

QWidget* CreatePowerOnBox(QWidget* parent);
void SetPowerOnBox(QWidget* box, const PowerOnInputs& inputs);

// The square over a disk's toolbar button: temperature colour, drive icon
// and wear bar, read from the disk whenever it paints. It lets the mouse
// through to the button below.
QWidget* CreateDiskSquare(QWidget* button, const QIcon& icon, CDisk* disk);
