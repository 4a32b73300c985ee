#pragma once

#include "VornComWidgetsExport.h"

#include <QString>

// The widget layer's error notice: a modal message box while a widget
// application runs, the core's standard-error line otherwise (a tool that
// links this library but never creates a QApplication still gets its text).
VORNCOMWIDGETS_API void Cm_ShowMessageBoxNotice(const QString& caption, const QString& text);

// Makes it the process's error notice. A desktop program calls this at its
// start; loading the library alone changes nothing.
VORNCOMWIDGETS_API void Cm_InstallMessageBoxNotice();
