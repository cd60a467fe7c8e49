#include <QCoreApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

// Every test program owns an application object, so that timers, event loops
// and serial ports work as in the programs, and never touches the user's files.
int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
