#include "MessageBoxNotice.h"
#include "ErrorLog.h"
#include "ErrorNotice.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <cerrno>

TEST(MessageBoxNoticeTest, LoadingTheWidgetLayerTurnsErrorMessagesIntoAMessageBox) {
    QString caption;
    QString text;
    // The box is modal: read it and close it from the event loop it runs.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        caption = box->windowTitle();
        text = box->text();
        box->accept();
    });
    Cm_ErrorMessage(ENOENT, 0);
    EXPECT_EQ(caption, QStringLiteral("Error Message"));
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Error:2] "))) << text.toStdString();
}

TEST(MessageBoxNoticeTest, InstalledHookIsTheMessageBoxAndCanBeRestored) {
    const Cm_ErrorNoticeHook installed = Cm_SetErrorNoticeHook(nullptr);
    EXPECT_EQ(installed, &Cm_ShowMessageBoxNotice);
    Cm_SetErrorNoticeHook(installed);
}
