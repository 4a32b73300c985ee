#include "SelectedFolder.h"

#include "Translation.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace {

QString SystemFolderDialog(QWidget* owner, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
}

CmFolderDialog& Dialog() {
    static CmFolderDialog dialog = SystemFolderDialog;
    return dialog;
}

// The documents folder, or nothing when the user has none: a start folder
// that does not exist would only send the dialog somewhere arbitrary.
QString DocumentsFolder() {
    const QString path = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (path.isEmpty() || !QDir(path).exists())
        return QString();
    return path;
}

} // namespace

void Cm_SetFolderDialog(CmFolderDialog dialog) {
    Dialog() = dialog ? std::move(dialog) : CmFolderDialog(SystemFolderDialog);
}

QString Cm_SelectedFolder(QWidget* owner, const QString& title, const QString& start) {
    const QString shownTitle =
        title.isEmpty() ? Cm_Tr("SelectedFolder", "ﾌｫﾙﾀﾞを選んでください") : title;
    return Dialog()(owner, shownTitle, start.isEmpty() ? DocumentsFolder() : start);
}
