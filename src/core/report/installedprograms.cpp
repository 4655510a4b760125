#include "report/installedprograms.h"

#include "report/fileversion.h"
#include "report/findfile.h"
#include "report/knownfolders.h"

#include <QEventLoop>

namespace qev {

const std::array<SpurnovaProgram, 4> &SpurnovaPrograms() {
    static const std::array<SpurnovaProgram, 4> programs = {{
        {QStringLiteral("Spurnova..."), QStringLiteral("Spurnova.exe"), QStringLiteral("Spurnova"),
         true},
        {QStringLiteral("Lunarra..."), QStringLiteral("Lunarra.exe"), QStringLiteral("Lunarra"),
         true},
        {QStringLiteral("Chronalis..."), QStringLiteral("Chronalis.exe"),
         QStringLiteral("Chronalis"), true},
        {QStringLiteral("Rollino..."), QStringLiteral("Rollino.exe"), QStringLiteral("Rollino"),
         false},
    }};
    return programs;
}

bool IsSkippedFolder(const QString &folder) {
    static const QStringList skipped = {QStringLiteral("Windows"), QStringLiteral("ProgramData"),
                                        QStringLiteral("Users"), QStringLiteral("Boot")};
    return skipped.contains(folder.section(u'/', -1));
}

bool FindInstalledProgram(const QString &fileName, const QString &location, QStringList &rows,
                          const std::function<void()> &folderEntered) {
    struct Found {
        QString folder;
        QString name; // as the folder lists it, which may differ in case from fileName
    };
    QList<Found> found;
    bool searchDone = false;
    QEventLoop loop;

    TFindFile finder;
    finder.setFilename(fileName);
    finder.setLocation(location);
    finder.Subfolders = true;
    finder.Attributes = ffArchive | ffReadonly | ffDirectory;
    finder.Threaded = true;
    finder.OnNewFolder = [&folderEntered](const QString &folder, bool &ignoreFolder) {
        ignoreFolder = IsSkippedFolder(folder);
        if (folderEntered)
            folderEntered();
    };
    finder.OnFound = [&found](const QString &folder, const TSearchRec &fileInfo) {
        found.append({folder, fileInfo.name});
    };
    finder.OnComplete = [&searchDone, &loop] {
        searchDone = true;
        loop.quit();
    };
    finder.Execute();
    // The hand-overs of the worker arrive as events; the loop sleeps until one comes.
    if (!searchDone)
        loop.exec();

    for (const Found &entry : std::as_const(found)) {
        const QString file =
            (entry.folder.endsWith(u'/') ? entry.folder : entry.folder + u'/') + entry.name;
        rows << QStringLiteral("Pfad:") << WindowsFolderText(entry.folder)
             << QStringLiteral("Datum:") << FileDateText(file) << QStringLiteral("Version:")
             << FileVersionText(file);
    }
    return !rows.isEmpty();
}

QList<FoundProgram> FindSpurnovaPrograms(const ProgramSearchHooks &hooks) {
    // A 64-bit prefix keeps 32-bit programs apart, in a folder of their own.
    const QString programFiles =
        KnownFolderPath(FOLDERID_ProgramFiles) + u';' + KnownFolderPath(FOLDERID_ProgramFilesX86);
    const QString makerFolder = QString::fromUtf16(MakerFolder);
    QList<FoundProgram> programs;
    for (const SpurnovaProgram &program : SpurnovaPrograms()) {
        if (hooks.status)
            hooks.status(program.statusText);
        if (hooks.progressStep)
            hooks.progressStep();
        FoundProgram result{program.heading, {}};
        const QString location =
            program.inProgramFiles ? programFiles + u';' + makerFolder : makerFolder;
        if (FindInstalledProgram(program.fileName, location, result.rows, hooks.progressStep))
            programs.append(result);
    }
    return programs;
}

} // namespace qev
