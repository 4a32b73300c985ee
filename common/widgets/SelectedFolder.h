#pragma once

#include "VornComWidgetsExport.h"

#include <QString>

#include <functional>

class QWidget;

// Asks the user for a folder. An empty title gives "ﾌｫﾙﾀﾞを選んでください";
// an empty start folder starts in the user's documents folder when there is
// one. Returns the chosen folder's path, or an empty text when the user
// cancels.
VORNCOMWIDGETS_API QString Cm_SelectedFolder(QWidget* owner, const QString& title = QString(),
                                             const QString& start = QString());

// The dialog itself: owner, title and start folder in, the chosen folder or
// an empty text out. Replaceable so that tests answer it; an empty function
// restores the system's folder dialog.
using CmFolderDialog =
    std::function<QString(QWidget* owner, const QString& title, const QString& start)>;
VORNCOMWIDGETS_API void Cm_SetFolderDialog(CmFolderDialog dialog);
