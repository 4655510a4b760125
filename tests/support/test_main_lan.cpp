#include "testlan.h"

#ifdef QEV_LAN_GUI
#include <QApplication>
using QevTestApplication = QApplication;
#else
#include <QCoreApplication>
using QevTestApplication = QCoreApplication;
#endif
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    // Before Qt or anything else can start a thread: the whole process, every thread it
    // will ever have, lives in a namespace of its own.
    qevtest::EnterPrivateNetworkNamespace();
#ifdef QEV_LAN_GUI
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The forms are designed in German; the program starts in German on a German system.
    qputenv("LANGUAGE", "de");
#endif
    QevTestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
