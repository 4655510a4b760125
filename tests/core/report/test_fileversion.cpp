// The version resources of real PE files built by the cross tools, compared with the
// values the script put in and with what exiftool reads from the same files; truncated and
// damaged images give empty values; the three-part version text and the file date.

#include "pebuilder.h"

#include "report/fileversion.h"

#include <QDateTime>
#include <QLocale>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

using qev::ReadFileVersionInfo;
using qevtest::BuildPe;
using qevtest::VersionScript;

namespace {

using Values = QList<QPair<QString, QString>>;

struct PeRow {
    const char *name;
    QString prefix;
    QString script;
    // What the reader must give for FileVersion, CompanyName and ProductName.
    QStringList expected;
    // exiftool reads the string table without regard to the translation entry, so it is
    // a second opinion only where the translation names the table.
    bool exiftoolAgrees;
};

void PrintTo(const PeRow &row, std::ostream *os) {
    *os << row.name;
}

const Values Spurnova = {{"CompanyName", "Spurnova GmbH"},
                         {"FileDescription", "Gleisbildstellwerk"},
                         {"FileVersion", "2.17.0.287"},
                         {"ProductName", "Spurnova"}};
const Values Lunarra = {{"CompanyName", "Lunarra Works"}, {"FileVersion", "1.0"}};

const PeRow PeRows[] = {
    {"german_table_pe32plus",
     qevtest::Pe64,
     VersionScript("040704b0", Spurnova, "0x0407, 1200"),
     {"2.17.0.287", "Spurnova GmbH", "Spurnova"},
     true},
    {"upper_case_table_name_pe32",
     qevtest::Pe32,
     VersionScript("040904E4", Lunarra, "0x0409, 1252"),
     {"1.0", "Lunarra Works", ""},
     true},
    {"first_translation_names_the_table",
     qevtest::Pe64,
     VersionScript("040904b0", Spurnova, "0x0409, 1200, 0x0407, 1200"),
     {"2.17.0.287", "Spurnova GmbH", "Spurnova"},
     true},
    {"table_of_another_language",
     qevtest::Pe64,
     VersionScript("040704b0", Spurnova, "0x0409, 1200"),
     {"", "", ""},
     false},
    {"no_translation_entry",
     qevtest::Pe64,
     VersionScript("040704b0", Spurnova, ""),
     {"", "", ""},
     false},
    {"no_version_resource", qevtest::Pe64, "2 RCDATA { \"Spurnova\" }\n", {"", "", ""}, true},
};

// FileVersion, CompanyName and ProductName as exiftool reads them ("-" = absent).
QStringList exiftoolValues(const QString &path) {
    QProcess exiftool;
    exiftool.start(QStringLiteral("exiftool"),
                   {QStringLiteral("-T"), QStringLiteral("-FileVersion"),
                    QStringLiteral("-CompanyName"), QStringLiteral("-ProductName"), path});
    if (!exiftool.waitForFinished(60000))
        return {};
    QStringList values = QString::fromUtf8(exiftool.readAllStandardOutput()).trimmed().split(u'\t');
    for (QString &value : values)
        if (value == u"-")
            value.clear();
    return values;
}

class PeVersion : public testing::TestWithParam<PeRow> {};

TEST_P(PeVersion, ReadsTheTableNamedByTheTranslation) {
    const PeRow &row = GetParam();
    QTemporaryDir dir;
    const QString image = BuildPe(dir.path(), QStringLiteral("program"), row.script, row.prefix);
    if (image.isEmpty())
        GTEST_SKIP() << "mingw-w64 (" << row.prefix.toStdString() << ") is not installed";
    const qev::TFileVersionInfo info = ReadFileVersionInfo(image, true);
    const QStringList got = {info.fileVersion(), info.value(u"CompanyName"),
                             info.value(u"ProductName")};
    EXPECT_EQ(got, row.expected);
    if (row.exiftoolAgrees && !QStandardPaths::findExecutable("exiftool").isEmpty()) {
        EXPECT_EQ(got, exiftoolValues(image));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, PeVersion, testing::ValuesIn(PeRows),
                         [](const auto &row) { return std::string(row.param.name); });

// An image of the first row and the places in it that the damage rows aim at.
struct Landmarks {
    QByteArray bytes;
    qsizetype pe = 0;          // the PE signature
    qsizetype rsrc = 0;        // the resource directory's root
    qsizetype version = 0;     // VS_VERSIONINFO
    qsizetype translation = 0; // the key "Translation"
};

qsizetype utf16Index(const QByteArray &bytes, QStringView text) {
    return bytes.indexOf(QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2));
}

Landmarks landmarks(const QByteArray &bytes) {
    Landmarks l{bytes};
    l.pe = qFromLittleEndian<quint32>(bytes.constData() + 0x3C);
    const qsizetype section = bytes.indexOf(QByteArrayView(".rsrc\0\0\0", 8));
    l.rsrc = qFromLittleEndian<quint32>(bytes.constData() + section + 20);
    l.version = utf16Index(bytes, u"VS_VERSION_INFO") - 6;
    l.translation = utf16Index(bytes, u"Translation");
    return l;
}

struct DamageRow {
    const char *name;
    std::function<void(Landmarks &)> damage;
};

void put32(QByteArray &bytes, qsizetype at, quint32 value) {
    qToLittleEndian(value, bytes.data() + at);
}

const DamageRow DamageRows[] = {
    {"dos_magic",
     [](Landmarks &l) {
         l.bytes[0] = 'X';
     }},
    {"pe_offset_beyond_file",
     [](Landmarks &l) {
         put32(l.bytes, 0x3C, 0xFFFFFFF0);
     }},
    {"pe_signature",
     [](Landmarks &l) {
         l.bytes[l.pe + 1] = 'X';
     }},
    {"optional_header_magic",
     [](Landmarks &l) {
         l.bytes[l.pe + 24] = 0x42;
     }},
    // PE32+: the data directories start 112 bytes into the optional header.
    {"resource_address_in_no_section",
     [](Landmarks &l) {
         put32(l.bytes, l.pe + 24 + 112 + 2 * 8, 0x7FFFFFF0);
     }},
    {"type_entry_points_back_to_the_root",
     [](Landmarks &l) {
         put32(l.bytes, l.rsrc + 16 + 4, 0x80000000);
     }},
    {"version_block_shorter_than_its_header",
     [](Landmarks &l) {
         l.bytes[l.version] = 4, l.bytes[l.version + 1] = 0;
     }},
    {"translation_key_renamed",
     [](Landmarks &l) {
         l.bytes[l.translation] = 'X';
     }},
    {"cut_inside_the_dos_header",
     [](Landmarks &l) {
         l.bytes.truncate(0x3E);
     }},
    {"cut_inside_the_pe_header",
     [](Landmarks &l) {
         l.bytes.truncate(l.pe + 12);
     }},
    {"cut_inside_the_resource_directory",
     [](Landmarks &l) {
         l.bytes.truncate(l.rsrc + 20);
     }},
    {"cut_inside_the_version_block",
     [](Landmarks &l) {
         l.bytes.truncate(l.version + 40);
     }},
    {"cut_before_the_translation",
     [](Landmarks &l) {
         l.bytes.truncate(l.translation);
     }},
    {"empty_file",
     [](Landmarks &l) {
         l.bytes.clear();
     }},
};

void PrintTo(const DamageRow &row, std::ostream *os) {
    *os << row.name;
}

class DamagedPe : public testing::TestWithParam<DamageRow> {
protected:
    static void SetUpTestSuite() {
        QTemporaryDir dir;
        const QString image = BuildPe(dir.path(), QStringLiteral("program"), PeRows[0].script);
        QFile file(image);
        if (!image.isEmpty() && file.open(QIODevice::ReadOnly))
            s_image = file.readAll();
    }
    static inline QByteArray s_image;
};

TEST_P(DamagedPe, GivesEmptyValues) {
    if (s_image.isEmpty())
        GTEST_SKIP() << "mingw-w64 is not installed";
    Landmarks l = landmarks(s_image);
    ASSERT_EQ(qev::ReadVersionStrings(l.bytes)[3], u"2.17.0.287") << "the undamaged image";
    GetParam().damage(l);
    for (const QString &value : qev::ReadVersionStrings(l.bytes))
        EXPECT_EQ(value, QString());
}

INSTANTIATE_TEST_SUITE_P(Rows, DamagedPe, testing::ValuesIn(DamageRows),
                         [](const auto &row) { return std::string(row.param.name); });

TEST(PeVersion, ForceDecidesForFilesThatAreNoExecutables) {
    QTemporaryDir dir;
    const QString image = BuildPe(dir.path(), QStringLiteral("program"), PeRows[0].script);
    if (image.isEmpty())
        GTEST_SKIP() << "mingw-w64 is not installed";
    const QString notes = dir.filePath(QStringLiteral("notes.txt"));
    ASSERT_TRUE(QFile::copy(image, notes));
    EXPECT_FALSE(ReadFileVersionInfo(image, false).typeName.isEmpty());
    EXPECT_EQ(ReadFileVersionInfo(image, false).fileVersion(), u"2.17.0.287");
    EXPECT_EQ(ReadFileVersionInfo(notes, false).fileVersion(), QString());
    EXPECT_EQ(ReadFileVersionInfo(notes, true).fileVersion(), u"2.17.0.287");
    EXPECT_EQ(qev::FileVersionText(image), u"2.17.287");
    EXPECT_EQ(qev::FileVersionText(dir.filePath(QStringLiteral("missing.exe"))), QString());
}

TEST(VersionText, FirstSecondAndFourthPart) {
    const struct {
        const char *fileVersion;
        const char *text;
    } rows[] = {
        {"2.17.0.287", "2.17.287"}, {"2.21.1.5.9", "2.21.5"}, {"1.0", ""}, {"1.2.3", ""}, {"", ""},
        {"2, 17, 0, 287", ""}};
    for (const auto &row : rows)
        EXPECT_EQ(qev::VersionTextOf(QString::fromLatin1(row.fileVersion)),
                  QString::fromLatin1(row.text))
            << row.fileVersion;
}

TEST(FileDate, ShortDateOfTheLastChange) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("Spurnova.exe")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QDateTime changed(QDate(2021, 3, 4), QTime(23, 30));
    ASSERT_TRUE(file.setFileTime(changed, QFileDevice::FileModificationTime));
    file.close();
    EXPECT_EQ(qev::FileDateText(file.fileName()),
              QLocale::system().toString(QDate(2021, 3, 4), QLocale::ShortFormat));
    EXPECT_EQ(qev::FileDateText(dir.filePath(QStringLiteral("missing.exe"))), QString());
}

} // namespace
