#pragma once

#include "VornComExport.h"
#include "WinTypes.h"

#include <QString>

// The process-wide log of trace lines and failed system calls. While no log
// file is open every write does nothing. Lines are stored with CR LF ends.

// Closes an open log, then opens path anew (append 0) or for appending.
// A null path only closes. Returns nonzero when a log is open. The log is a
// regular file: a symbolic link or anything else at path is refused.
VORNCOM_API int Cm_OpenErrorFile(const char16_t* path, int append);
VORNCOM_API int Cm_CloseErrorFile();

// Why the last Cm_OpenErrorFile, or a write to or the closing of the log it
// opened, failed (an errno value or a code of SafeFile.h); 0 when all went
// well. Tells a caller that a log it asked for is missing or cut short.
VORNCOM_API int Cm_ErrorFileFailure();

// Writes "[time] text"; returns the characters written, 0 without a log.
VORNCOM_API int Cm_WriteErrorString(const char16_t* text);
VORNCOM_API int Cm_WriteErrorString(const QString& text);

// code 0xFFFFFFFF stands for the thread's last error. Writes
// "[time] [Error:code] system text" unless the code equals ignored.
VORNCOM_API DWORD Cm_WriteErrorMessage(DWORD code, DWORD ignored);

// Shows "[Error:code] system text" to the user (a message box in a widget
// application, standard error otherwise) unless the code equals ignored.
VORNCOM_API DWORD Cm_ErrorMessage(DWORD code, DWORD ignored);

// "[Error:code] system text", or empty when the code equals ignored.
VORNCOM_API QString Cm_GetErrorMessage(int code, int ignored);

// The system's text for an errno value, ending with a line feed.
VORNCOM_API QString Cm_SystemErrorText(DWORD code);
