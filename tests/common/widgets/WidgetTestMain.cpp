#include "MessageBoxNotice.h"

#include <QApplication>

#include <gtest/gtest.h>

// Widget tests run inside one offscreen QApplication.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // As the desktop programs do at their start.
    Cm_InstallMessageBoxNotice();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
