#include "app/errordisplay.h"
#include "app/programfont.h"
#include "app/qevapplication.h"
#include "app/qevprogrammerform.h"
#include "app/settingsfile.h"
#include "devicelink/selectipform.h"
#include "trace/datagramtrace.h"

#include <QMessageBox>
#include <exception>

int main(int argc, char **argv) {
    TQevApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Qev Programmer"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.21"));
    // Ties the window to its installed desktop entry (icon and name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("de.spurnova.QevProgrammer"));
    QApplication::setFont(ProgramFont());
    // Every datagram of the run, for the Protokoll window; installed before the first
    // socket opens.
    qev::DatagramTrace trace;
    qev::InstallDatagramTrace(&trace);
    try {
        TQevProgrammerForm form(qev::SettingsFilePath(QCoreApplication::applicationFilePath()));
        // The pick list of the start stays hidden; each search shows one of its own.
        TSelectIPForm pickList(&form);
        form.show();
        return QApplication::exec();
    } catch (const std::exception &error) {
        // Without a socket there is no program to run.
        QMessageBox::critical(nullptr, QStringLiteral("Qev Programmer"),
                              QString::fromLocal8Bit(error.what()));
        return 1;
    }
}
