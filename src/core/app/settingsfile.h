#pragma once

#include <QString>

namespace qev {

// Where the settings file lives. It is named after the program file with ".ini" appended
// and kept beside the program when that folder is writable; a program installed in a
// read-only folder (under /usr, say) keeps it under the user's configuration folder
// instead. Reading looks in the same order, so values are read from where they were
// written.
//   programFile: the program's full path (QCoreApplication::applicationFilePath()).
QString SettingsFilePath(const QString &programFile);

// The settings file of the program qev-programmer as seen from another program of the
// product installed beside it (qev-devsim reads the device codes from it).
QString ProgrammerSettingsFilePath(const QString &siblingProgramFile);

} // namespace qev
