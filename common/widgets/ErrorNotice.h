#pragma once

#include <QString>

// A modal notice for a failed system call: a message box when the process
// runs a widget application, a line on standard error otherwise.
void Cm_ShowErrorNotice(const QString& caption, const QString& text);
