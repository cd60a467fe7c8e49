#include <QStandardPaths>
#include <gtest/gtest.h>

#ifdef MSRW_GUI_TESTS
#include <QApplication>
using Application = QApplication;
#else
#include <QCoreApplication>
using Application = QCoreApplication;
#endif

// Every test program owns an application object, so that timers, event loops
// and serial ports work as in the programs, and never touches the user's files.
int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);
    Application app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
