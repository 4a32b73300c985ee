#pragma once

#include "VornComExport.h"

#include <QString>

// How a failed system call is shown to the user. The core library knows no
// windows: by default the notice is one line on standard error. A desktop
// program installs the widget layer's hook (Cm_InstallMessageBoxNotice),
// which shows a message box.
using Cm_ErrorNoticeHook = void (*)(const QString& caption, const QString& text);

VORNCOM_API void Cm_ShowErrorNotice(const QString& caption, const QString& text);

// Installs hook (null restores the default) and returns the previous one.
VORNCOM_API Cm_ErrorNoticeHook Cm_SetErrorNoticeHook(Cm_ErrorNoticeHook hook);

// The default: "caption: text" on standard error, ending with one line feed.
VORNCOM_API void Cm_WriteErrorNoticeToStderr(const QString& caption, const QString& text);
