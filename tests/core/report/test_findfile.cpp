// The file search over a temporary Wine prefix: skipped and dot names, case variants, DOS
// attributes, a symbolic link back into the tree; the whole program search of the report
// with its status texts and progress steps; the search component's checks, stop and
// destruction while its worker runs.

#include "pebuilder.h"
#include "qtprinters.h"

#include "report/findfile.h"
#include "report/installedprograms.h"
#include "report/knownfolders.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/xattr.h>

#include <optional>

using namespace qev;

namespace {

const QDate Changed(2021, 3, 4);

// Sets WINEPREFIX for one test.
class PrefixScope {
public:
    explicit PrefixScope(const QByteArray &prefix)
        : m_old(qgetenv("WINEPREFIX"))
        , m_had(qEnvironmentVariableIsSet("WINEPREFIX")) {
        qputenv("WINEPREFIX", prefix);
    }
    ~PrefixScope() {
        if (m_had)
            qputenv("WINEPREFIX", m_old);
        else
            qunsetenv("WINEPREFIX");
    }

private:
    QByteArray m_old;
    bool m_had;
};

// A file with the given content, changed on Changed, with Wine's DOS attributes when given.
void makeFile(const QString &path, const QByteArray &content, const char *dosAttrib = nullptr) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
    file.flush(); // else closing would write the bytes, and the time, after the time set here
    ASSERT_TRUE(
        file.setFileTime(QDateTime(Changed, QTime(12, 0)), QFileDevice::FileModificationTime));
    file.close();
    if (dosAttrib) {
        ASSERT_EQ(::setxattr(QFile::encodeName(path).constData(), "user.DOSATTRIB", dosAttrib,
                             qstrlen(dosAttrib), 0),
                  0)
            << "the file system keeps no user extended attributes";
    }
}

QString shortDate() {
    return QLocale::system().toString(Changed, QLocale::ShortFormat);
}

struct Triple {
    QString path, date, version;
    bool operator<(const Triple &o) const { return path < o.path; }
    bool operator==(const Triple &o) const = default;
};

void PrintTo(const Triple &t, std::ostream *os) {
    *os << "{" << t.path.toStdString() << ", " << t.date.toStdString() << ", "
        << t.version.toStdString() << "}";
}

QList<Triple> triples(const QStringList &rows) {
    QList<Triple> result;
    for (qsizetype k = 0; k + 5 < rows.size(); k += 6) {
        EXPECT_EQ(rows[k], u"Pfad:");
        EXPECT_EQ(rows[k + 2], u"Datum:");
        EXPECT_EQ(rows[k + 4], u"Version:");
        result.append({rows[k + 1], rows[k + 3], rows[k + 5]});
    }
    EXPECT_EQ(rows.size() % 6, 0);
    return result;
}

TEST(ProgramSearch, FindsTheProgramsOfAWinePrefix) {
    QTemporaryDir prefix;
    const QString c = prefix.filePath(QStringLiteral("drive_c"));
    const QString p = c + QStringLiteral("/Program Files");
    // A real program file where the tools are at hand, so that its version is read too.
    QTemporaryDir build;
    const QString image = qevtest::BuildPe(
        build.path(), QStringLiteral("spurnova"),
        qevtest::VersionScript("040704b0", {{"FileVersion", "2.17.0.287"}}, "0x0407, 1200"));
    QByteArray program = "not a program";
    if (QFile file(image); !image.isEmpty() && file.open(QIODevice::ReadOnly))
        program = file.readAll();
    const QString version = image.isEmpty() ? QString() : QStringLiteral("2.17.287");

    makeFile(p + "/Spurnova/Spurnova.exe", program);
    makeFile(p + "/Spurnova/Lunarra.exe", "x");
    makeFile(p + "/Tools/spurnova.EXE", program);
    makeFile(p + "/Windows/Spurnova.exe", "x");
    makeFile(p + "/Windows Mail/Spurnova.exe", "x");
    makeFile(p + "/.config/Spurnova.exe", "x");
    makeFile(p + "/Hidden/Spurnova.exe", "x", "0x2");
    makeFile(p + "/System/Spurnova.exe", "x", "0x4");
    makeFile(p + "/ReadOnly/Spurnova.exe", "x", "0x2");
    ASSERT_TRUE(QFile::setPermissions(p + "/ReadOnly/Spurnova.exe",
                                      QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    ASSERT_TRUE(QFile::link(QStringLiteral(".."), p + "/Tools/Loop"));
    // A 64-bit prefix's folder of 32-bit programs, and the maker's folder as an installer
    // may spell it: "C:\Spurnova" finds it as Wine does.
    makeFile(c + "/Program Files (x86)/Chronalis/Chronalis.exe", "x");
    makeFile(c + "/SPURNOVA/Lunarra.exe", "x");
    makeFile(c + "/SPURNOVA/Rollino.exe", "x");

    const PrefixScope scope(QFile::encodeName(prefix.path()));
    QStringList status;
    int steps = 0;
    const QList<FoundProgram> found =
        FindSpurnovaPrograms({[&status](const QString &text) { status << text; },
                              [&steps] {
                                  ++steps;
                              }});

    EXPECT_EQ(status, QStringList({"Spurnova...", "Lunarra...", "Chronalis...", "Rollino..."}));
    // One per program; per search of the first three the eight folders of the program-files
    // tree that are reported (the loop and the dot folder are not), the two of the 32-bit
    // tree and the maker's folder.
    EXPECT_EQ(steps, 4 + 3 * (8 + 2 + 1) + 1);
    ASSERT_EQ(found.size(), 4);
    EXPECT_EQ(found[0].heading, u"Spurnova");
    QList<Triple> spurnova = triples(found[0].rows);
    std::sort(spurnova.begin(), spurnova.end());
    const QString date = shortDate();
    EXPECT_EQ(spurnova, QList<Triple>({{"C:\\Program Files\\ReadOnly\\", date, ""},
                                       {"C:\\Program Files\\Spurnova\\", date, version},
                                       {"C:\\Program Files\\Tools\\", date, version},
                                       {"C:\\Program Files\\Windows Mail\\", date, ""}}));
    EXPECT_EQ(found[1].heading, u"Lunarra");
    EXPECT_EQ(triples(found[1].rows), QList<Triple>({{"C:\\Program Files\\Spurnova\\", date, ""},
                                                     {"C:\\SPURNOVA\\", date, ""}}));
    EXPECT_EQ(found[2].heading, u"Chronalis");
    EXPECT_EQ(triples(found[2].rows),
              QList<Triple>({{"C:\\Program Files (x86)\\Chronalis\\", date, ""}}));
    EXPECT_EQ(found[3].heading, u"Rollino");
    EXPECT_EQ(triples(found[3].rows), QList<Triple>({{"C:\\SPURNOVA\\", date, ""}}));
}

TEST(ProgramSearch, NoPrefixFindsNothing) {
    QTemporaryDir home;
    const PrefixScope scope(QFile::encodeName(home.filePath(QStringLiteral("no-such-prefix"))));
    int steps = 0;
    EXPECT_TRUE(FindSpurnovaPrograms({{},
                                      [&steps] {
                                          ++steps;
                                      }})
                    .isEmpty());
    // The folders that do not exist are still reported once each.
    EXPECT_EQ(steps, 4 + 3 * 3 + 1);
}

TEST(ProgramSearch, RelativePrefixIsAnErrorBeforeAnySearch) {
    const PrefixScope scope("relative/prefix");
    QStringList status;
    EXPECT_THROW(FindSpurnovaPrograms({[&status](const QString &text) { status << text; }, {}}),
                 KnownFolderError);
    EXPECT_TRUE(status.isEmpty());
}

TEST(KnownFolders, WindowsAndLinuxNames) {
    const PrefixScope scope("/home/anna/.wine");
    EXPECT_EQ(KnownFolderPath(FOLDERID_ProgramFiles), u"/home/anna/.wine/drive_c/Program Files");
    EXPECT_EQ(KnownFolderPath(FOLDERID_ProgramFilesX86),
              u"/home/anna/.wine/drive_c/Program Files (x86)");
    EXPECT_THROW(KnownFolderPath(QUuid::createUuid()), KnownFolderError);
    const struct {
        const char *in, *out;
    } linux[] = {{"C:\\Spurnova", "/home/anna/.wine/drive_c/Spurnova"},
                 {"c:/Spurnova/", "/home/anna/.wine/drive_c/Spurnova"},
                 {"D:\\Daten", "/home/anna/.wine/dosdevices/d:/Daten"},
                 {"/opt/spurnova", "/opt/spurnova"}},
      windows[] = {
          {"/home/anna/.wine/drive_c/Program Files/Spurnova", "C:\\Program Files\\Spurnova\\"},
          {"/home/anna/.wine/drive_c", "C:\\"},
          {"/home/anna/.wine/drive_cx", "/home/anna/.wine/drive_cx/"},
          {"/opt/spurnova", "/opt/spurnova/"}};
    for (const auto &row : linux)
        EXPECT_EQ(LinuxPathOf(row.in), QString::fromUtf8(row.out)) << row.in;
    for (const auto &row : windows)
        EXPECT_EQ(WindowsFolderText(row.in), QString::fromUtf8(row.out)) << row.in;
}

TEST(FindFile, NamesMatchLikeWindowsMasks) {
    const struct {
        const char *name, *mask;
        bool matches;
    } rows[] = {{"Spurnova.exe", "spurnova.EXE", true},
                {"Spurnova.exe.bak", "Spurnova.exe", false},
                {"Spurnova.ex", "Spurnova.exe", false},
                {"Spurnova", "Spurnova.*", true},
                {"README", "*.*", true},
                {"Spurnova.exe", "Spur?ova.e*", true},
                {"abcb", "a*b", true},
                {"abc", "a*d", false}};
    for (const auto &row : rows)
        EXPECT_EQ(MaskMatches(row.name, row.mask), row.matches) << row.name << " " << row.mask;
}

TEST(FindFile, AttributesAsWineShowsThem) {
    QTemporaryDir dir;
    const struct {
        const char *dosAttrib;
        bool readOnly;
        TFileAttributes attributes;
    } rows[] = {{nullptr, false, {}},
                {"0x2", false, ffHidden},
                {"0x4", false, ffSystem},
                {"0x26", false, ffHidden | ffSystem},
                {"0x2", true, ffHidden | ffReadonly},
                {"junk", true, ffReadonly}};
    int k = 0;
    for (const auto &row : rows) {
        const QString path = dir.filePath(QString::number(++k));
        makeFile(path, "x", row.dosAttrib);
        if (row.readOnly)
            QFile::setPermissions(path, QFileDevice::ReadOwner);
        EXPECT_EQ(EntryAttributes(path), std::optional(row.attributes)) << k;
    }
    EXPECT_EQ(EntryAttributes(dir.path()), std::optional(TFileAttributes(ffDirectory)));
    EXPECT_EQ(EntryAttributes(dir.filePath("missing")), std::nullopt);
}

TEST(FindFile, PropertyChecksRaiseWithTheirTexts) {
    TFindFile finder;
    const struct {
        bool filename;
        const char *value, *error;
    } rows[] = {{true, "Spurnova.exe", nullptr},
                {true, "bin/Spurnova.exe", "bin/Spurnova.exe\n\rInvalid filename specified"},
                {true, "C:\\Spurnova.exe", "C:\\Spurnova.exe\n\rInvalid filename specified"},
                {false, "C:\\Spurnova;/opt", nullptr},
                {false, "C:\\Spur*", "C:\\Spur*\n\rlocation cannot to be contained wildcards"},
                {false, "/opt/a?", "/opt/a?\n\rlocation cannot to be contained wildcards"}};
    for (const auto &row : rows) {
        std::string error;
        try {
            if (row.filename)
                finder.setFilename(row.value);
            else
                finder.setLocation(row.value);
        } catch (const EFindFileError &e) {
            error = e.what();
        }
        EXPECT_EQ(error, row.error ? row.error : "") << row.value;
    }
    EXPECT_EQ(finder.Filename(), u"Spurnova.exe");
    EXPECT_EQ(finder.Location(), u"C:\\Spurnova;/opt");
}

TEST(FindFile, UnthreadedSearchWithBareNameAndRepeatedFolder) {
    QTemporaryDir dir;
    makeFile(dir.filePath("A/Spurnova.exe"), "x");
    makeFile(dir.filePath("A/SPURNOVA"), "x");
    makeFile(dir.filePath("A/.Spurnova.exe"), "x");
    makeFile(dir.filePath("A/Spurnovax.exe"), "x");
    TFindFile finder;
    finder.setFilename("spurnova");
    finder.setLocation(dir.filePath("A") + ";" + dir.filePath("a/") + ";");
    QStringList folders, names;
    bool complete = false;
    finder.OnNewFolder = [&folders](const QString &folder, bool &) {
        folders << folder;
    };
    finder.OnFound = [&names](const QString &, const TSearchRec &rec) {
        names << rec.name;
    };
    finder.OnComplete = [&complete] {
        complete = true;
    };
    finder.Execute();
    EXPECT_TRUE(complete);
    EXPECT_FALSE(finder.Running());
    EXPECT_EQ(folders, QStringList({dir.filePath("A")}));
    names.sort();
    EXPECT_EQ(names, QStringList({"SPURNOVA", "Spurnova.exe"}));
}

void makeWideTree(const QString &root, int folders) {
    for (int k = 0; k < folders; ++k)
        ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/f%1/g").arg(k)));
}

TEST(FindFile, AbortFromAHandlerEndsTheSearchWithOnComplete) {
    QTemporaryDir dir;
    makeWideTree(dir.path(), 50);
    TFindFile finder;
    finder.Threaded = true;
    finder.setLocation(dir.path());
    int folders = 0;
    bool complete = false;
    finder.OnNewFolder = [&](const QString &, bool &) {
        ++folders;
        finder.Abort();
    };
    finder.OnComplete = [&complete] {
        complete = true;
    };
    finder.Execute();
    EXPECT_TRUE(finder.Running());
    while (!complete)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_TRUE(complete);
    EXPECT_EQ(folders, 1);
}

TEST(FindFile, DestructionStopsARunningSearch) {
    QTemporaryDir dir;
    makeWideTree(dir.path(), 300);
    int folders = 0;
    bool complete = false;
    {
        TFindFile finder;
        finder.Threaded = true;
        finder.setLocation(dir.path());
        finder.OnNewFolder = [&folders](const QString &, bool &) {
            ++folders;
        };
        finder.OnComplete = [&complete] {
            complete = true;
        };
        finder.Execute();
        // A few hand-overs, so that the worker is mid-walk (waiting for an answer or walking).
        for (int k = 0; k < 5; ++k)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(complete);
    EXPECT_GT(folders, 0);
    EXPECT_LT(folders, 601);
}

} // namespace
