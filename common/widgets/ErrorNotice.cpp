#include "ErrorNotice.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

void Cm_ShowErrorNotice(const QString& caption, const QString& text) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMessageBox::information(nullptr, caption, text);
        return;
    }
    std::fprintf(stderr, "%s: %s", caption.toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
    if (!text.endsWith(QLatin1Char('\n')))
        std::fputc('\n', stderr);
}
