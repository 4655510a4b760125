#include "programfont.h"

#include <QFile>
#include <QFontDatabase>

namespace {

// Debian's fonts-wine ships a Tahoma look-alike that fontconfig does not know about. Its
// bold face is drawn with strokes as thin as the regular one's at the window's 11 pixels, so
// bold texts (warnings, headings) would not stand out: Qt emboldens the regular face instead.
const char *const lookAlikeFiles[] = {
    "/usr/share/wine/fonts/tahoma.ttf",
};

bool loadTahomaLookAlike() {
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        return true;
    bool loaded = false;
    for (const char *file : lookAlikeFiles) {
        if (QFile::exists(QString::fromLatin1(file)))
            loaded = QFontDatabase::addApplicationFont(QString::fromLatin1(file)) >= 0 || loaded;
    }
    return loaded;
}

} // namespace

QFont ProgramFont() {
    // Once per run; without it the fall-backs below take over.
    [[maybe_unused]] static const bool tahoma = loadTahomaLookAlike();
    QFont font;
    // Liberation Sans and Arial are about as wide as Tahoma; the wider DejaVu Sans would
    // clip texts in the fixed-size window.
    font.setFamilies(
        {QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    // The window has a fixed size in pixels, so the text must have one too.
    font.setPixelSize(11);
    return font;
}
