#pragma once

#include "VornComWidgetsExport.h"

#include <QString>

// The widget layer's error notice: a modal message box while a widget
// application runs, the core's standard-error line otherwise (a tool that
// links this library but never creates a QApplication still gets its text).
// Loading the library installs it; programs need not call anything.
VORNCOMWIDGETS_API void Cm_ShowMessageBoxNotice(const QString& caption, const QString& text);
