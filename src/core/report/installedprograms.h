#pragma once

// The search for the product line's PC programs on the disk, for the profile report: which
// program files, in which folders, and for each copy found its folder, file date and version
// as label/value rows.

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace qev {

struct SpurnovaProgram {
    QString statusText; // shown while this program is looked for
    QString fileName;
    QString heading;             // the report's heading of its group
    bool inProgramFiles = false; // looked for in the program-files folders too
};

// The four programs in the order the report lists them.
const std::array<SpurnovaProgram, 4> &SpurnovaPrograms();

// The maker's own folder beside the program-files folder.
inline constexpr char16_t MakerFolder[] = u"C:\\Spurnova";

// Folders the search does not enter (the last component of the path, compared exactly).
bool IsSkippedFolder(const QString &folder);

// Runs one search for fileName in the folders of location (separated by ";") and their
// subfolders, on a worker thread while this thread keeps handling its events. Appends to
// rows, per folder holding the file in the order found, "Pfad:" with the folder as the
// Windows programs know it (trailing separator), "Datum:" with the file's short date and
// "Version:" with its three-part version (each empty when unreadable). folderEntered runs
// once per folder the search enters. True when rows is not empty afterwards.
bool FindInstalledProgram(const QString &fileName, const QString &location, QStringList &rows,
                          const std::function<void()> &folderEntered = {});

struct ProgramSearchHooks {
    std::function<void(const QString &statusText)> status;
    std::function<void()> progressStep;
};

struct FoundProgram {
    QString heading;
    QStringList rows; // alternating label and value
};

// The whole program search of the report: for each program its status text, one progress
// step, then the search (one more step per folder entered). Lists the programs found, in
// table order. Raises KnownFolderError before anything is searched when the program-files
// folder cannot be determined.
QList<FoundProgram> FindSpurnovaPrograms(const ProgramSearchHooks &hooks);

} // namespace qev
