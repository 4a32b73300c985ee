#include <QGuiApplication>

#include <gtest/gtest.h>

// The icon tests need a GUI application; nothing here needs widgets.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
