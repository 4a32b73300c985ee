// The floor for a Qt command-line program: a QCoreApplication that prints
// its version and ends, as `drivewatch --version` does.
#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::printf("bare-qt 1.0\n");
    return 0;
}
