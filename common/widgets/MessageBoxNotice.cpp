#include "MessageBoxNotice.h"

#include "ErrorNotice.h"

#include <QApplication>
#include <QMessageBox>

void Cm_ShowMessageBoxNotice(const QString& caption, const QString& text) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        Cm_WriteErrorNoticeToStderr(caption, text);
        return;
    }
    QMessageBox::information(nullptr, caption, text);
}

void Cm_InstallMessageBoxNotice() {
    Cm_SetErrorNoticeHook(Cm_ShowMessageBoxNotice);
}
