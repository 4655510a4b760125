#include "app/devicecodes.h"
#include "app/settingsfile.h"
#include "devsimoptions.h"
#include "devsimserver.h"
#include "tcpstation.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <memory>

using namespace qev;
using namespace qev::devsim;

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const ParsedCommandLine parsed = ParseDevsimCommandLine(
        app.arguments(), ProgrammerSettingsFilePath(QCoreApplication::applicationFilePath()));
    if (!parsed.helpText.isEmpty()) {
        std::fputs(qPrintable(parsed.helpText), stdout);
        return 0;
    }
    if (!parsed.options) {
        std::fprintf(stderr, "qev-devsim: %s\n", qPrintable(parsed.error));
        return 2;
    }
    const DevsimOptions &options = *parsed.options;
    if (!options.interfaceName.isEmpty()) {
        const QString refusal = TestNamespaceRefusal();
        if (!refusal.isEmpty()) {
            std::fprintf(stderr, "qev-devsim: %s\n", qPrintable(refusal));
            return 2;
        }
    }

    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        return 1;
    QFile logFile(options.logFile);
    QFile *log = &out;
    if (!options.logFile.isEmpty()) {
        if (!logFile.open(QIODevice::WriteOnly | QIODevice::Append)) {
            std::fprintf(stderr, "qev-devsim: cannot write %s\n", qPrintable(options.logFile));
            return 1;
        }
        log = &logFile;
    }
    // Tests read the log while the simulator runs: every line goes out at once.
    const auto writeLine = [](QFile &file, const QString &line) {
        file.write(line.toUtf8() + '\n');
        file.flush();
    };

    DevsimServer server(options, LoadDeviceCodes(options.settingsFile),
                        options.interfaceName.isEmpty() ? nullptr : CreateInterfaceAddressing(),
                        [&](const QString &line) { writeLine(*log, line); });
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "qev-devsim: %s\n", qPrintable(error));
        return 1;
    }
    std::unique_ptr<LenzStation> lenz;
    if (options.lenz) {
        lenz = std::make_unique<LenzStation>(*options.lenz,
                                             [&](const QString &line) { writeLine(*log, line); });
        if (!lenz->start(&error)) {
            std::fprintf(stderr, "qev-devsim: %s\n", qPrintable(error));
            return 1;
        }
    }
    writeLine(out, QStringLiteral("ready"));
    if (log != &out)
        writeLine(*log, QStringLiteral("ready"));
    return app.exec();
}
