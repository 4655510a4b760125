#include "imagemaker.h"

#include <QCoreApplication>
#include <cstdio>

using namespace qev::imagemaker;

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const ParsedImageCommandLine parsed = ParseImageMakerCommandLine(app.arguments());
    if (!parsed.helpText.isEmpty()) {
        std::fputs(qPrintable(parsed.helpText), stdout);
        return 0;
    }
    if (!parsed.spec) {
        std::fprintf(stderr, "qev-imagemaker: %s\n", qPrintable(parsed.error));
        return 2;
    }
    QString error;
    if (!WriteImageFile(parsed.output, *parsed.spec, &error)) {
        std::fprintf(stderr, "qev-imagemaker: %s: %s\n", qPrintable(parsed.output),
                     qPrintable(error));
        return 1;
    }
    return 0;
}
