#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    // Widgets are driven without a display unless the caller chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The forms are designed in German; the program starts in German on a German system.
    qputenv("LANGUAGE", "de");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
