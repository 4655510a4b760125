// qevctl as a script runs it: the command-line errors with their exit status and message,
// then each subcommand against qev-devsim over loopback, checking what it printed and the
// bytes the simulated devices received.

#include "devsimrunner.h"
#include "imagemaker.h"
#include "qevctlprocess.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace qevtest;

namespace {

struct UsageRow {
    QStringList arguments;
    int exitCode;
    QString message; // a part of what qevctl prints on standard error
};

class CommandLine : public testing::TestWithParam<UsageRow> {};

TEST_P(CommandLine, RefusesWithStatusAndMessage) {
    const UsageRow &row = GetParam();
    const CtlRun run = RunQevctl(row.arguments);
    EXPECT_EQ(run.exitCode, row.exitCode) << qPrintable(run.err);
    EXPECT_TRUE(run.err.contains(row.message)) << qPrintable(run.err);
}

// Nothing here reaches a device: every row is refused before anything is sent.
INSTANTIATE_TEST_SUITE_P(
    Errors, CommandLine,
    testing::Values(
        UsageRow{{}, 2, QStringLiteral("no subcommand given")},
        UsageRow{
            {QStringLiteral("frobnicate")}, 2, QStringLiteral("unknown subcommand: frobnicate")},
        UsageRow{{QStringLiteral("discover"), QStringLiteral("--colour")},
                 2,
                 QStringLiteral("unknown option: --colour")},
        UsageRow{{QStringLiteral("discover"), QStringLiteral("--timeout")},
                 2,
                 QStringLiteral("missing value for --timeout")},
        UsageRow{{QStringLiteral("discover"), QStringLiteral("--timeout"), QStringLiteral("soon")},
                 2,
                 QStringLiteral("--timeout: not a time in ms")},
        UsageRow{{QStringLiteral("discover"), QStringLiteral("--broadcast"),
                  QStringLiteral("192.168.0.256")},
                 2,
                 QStringLiteral("--broadcast: not an IPv4 address: 192.168.0.256")},
        UsageRow{{QStringLiteral("identify")}, 2, QStringLiteral("identify: missing HOST")},
        UsageRow{{QStringLiteral("identify"), QStringLiteral("192.0.2")},
                 2,
                 QStringLiteral("HOST: not an IPv4 address: 192.0.2")},
        UsageRow{{QStringLiteral("identify"), QStringLiteral("192.0.2.1"), QStringLiteral("--port"),
                  QStringLiteral("70000")},
                 2,
                 QStringLiteral("--port: not a port (1..65535): 70000")},
        UsageRow{
            {QStringLiteral("--base-port"), QStringLiteral("65534"), QStringLiteral("discover")},
            2,
            QStringLiteral("--base-port: not a base port (1..65533): 65534")},
        UsageRow{{QStringLiteral("--lang"), QStringLiteral("fr"), QStringLiteral("discover")},
                 2,
                 QStringLiteral("--lang: de or en")},
        UsageRow{{QStringLiteral("set-network"), QStringLiteral("192.0.2.1"),
                  QStringLiteral("--ip"), QStringLiteral("192.0.2.7")},
                 2,
                 QStringLiteral("set-network needs --ip and --mask")},
        UsageRow{{QStringLiteral("get"), QStringLiteral("192.0.2.1"), QStringLiteral("kitchen")},
                 2,
                 QStringLiteral("unknown page: kitchen")},
        UsageRow{{QStringLiteral("set"), QStringLiteral("192.0.2.1"), QStringLiteral("speed")},
                 2,
                 QStringLiteral("set: missing KEY=VALUE")},
        UsageRow{{QStringLiteral("set"), QStringLiteral("192.0.2.1"), QStringLiteral("speed"),
                  QStringLiteral("threshold=201")},
                 2,
                 QStringLiteral("threshold: value out of range (5..200): 201")},
        UsageRow{{QStringLiteral("set"), QStringLiteral("192.0.2.1"), QStringLiteral("booster"),
                  QStringLiteral("max-current=5.1")},
                 2,
                 QStringLiteral("max-current: value out of range (1.0..5.0): 5.1")},
        UsageRow{{QStringLiteral("set"), QStringLiteral("192.0.2.1"), QStringLiteral("s88"),
                  QStringLiteral("flicker-on=sometimes")},
                 2,
                 QStringLiteral("flicker-on: value out of range (off|short|normal|long)")},
        UsageRow{{QStringLiteral("set"), QStringLiteral("192.0.2.1"), QStringLiteral("speed"),
                  QStringLiteral("colour=red")},
                 2,
                 QStringLiteral("page speed has no key colour")},
        UsageRow{{QStringLiteral("rename-booster"), QStringLiteral("192.0.2.1"),
                  QStringLiteral("128"), QStringLiteral("Nord")},
                 2,
                 QStringLiteral("ADDRESS: not a booster address (1..127): 128")},
        UsageRow{{QStringLiteral("rename-booster"), QStringLiteral("192.0.2.1"),
                  QStringLiteral("5"), QStringLiteral("Seventeen letters")},
                 2,
                 QStringLiteral("NAME: at most 16 characters")},
        UsageRow{
            {QStringLiteral("backup")}, 2, QStringLiteral("backup: missing HOST (or --all DIR)")},
        UsageRow{{QStringLiteral("backup"), QStringLiteral("192.0.2")},
                 2,
                 QStringLiteral("HOST: not an IPv4 address: 192.0.2")},
        UsageRow{{QStringLiteral("backup"), QStringLiteral("192.0.2.1"), QStringLiteral("-o")},
                 2,
                 QStringLiteral("missing value for --output")},
        UsageRow{{QStringLiteral("backup"), QStringLiteral("192.0.2.1"), QStringLiteral("--all"),
                  QStringLiteral("backups")},
                 2,
                 QStringLiteral("backup --all DIR takes no HOST, -o or --port")},
        UsageRow{{QStringLiteral("backup"), QStringLiteral("--all"), QStringLiteral("backups"),
                  QStringLiteral("-o"), QStringLiteral("one.json")},
                 2,
                 QStringLiteral("backup --all DIR takes no HOST, -o or --port")},
        UsageRow{{QStringLiteral("backup"), QStringLiteral("--all=")},
                 2,
                 QStringLiteral("--all: no file or folder given")},
        UsageRow{{QStringLiteral("backup"), QStringLiteral("192.0.2.1"),
                  QStringLiteral("--timeout"), QStringLiteral("800")},
                 2,
                 QStringLiteral("--broadcast and --timeout belong to backup --all")},
        UsageRow{{QStringLiteral("restore"), QStringLiteral("192.0.2.1")},
                 2,
                 QStringLiteral("restore: missing FILE")},
        UsageRow{{QStringLiteral("restore"), QStringLiteral("192.0.2.1"), QStringLiteral("a.json"),
                  QStringLiteral("b.json")},
                 2,
                 QStringLiteral("restore: unexpected argument: b.json")},
        UsageRow{{QStringLiteral("restore"), QStringLiteral("192.0.2.1"), QStringLiteral("a.json"),
                  QStringLiteral("-o"), QStringLiteral("b.json")},
                 2,
                 QStringLiteral("restore: unexpected argument")},
        UsageRow{{QStringLiteral("restore"), QStringLiteral("host"), QStringLiteral("a.json")},
                 2,
                 QStringLiteral("HOST: not an IPv4 address: host")}));

TEST(CommandLineHelp, HelpAndVersionNeedNoDevice) {
    const CtlRun version = RunQevctl({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.trimmed(), QStringLiteral("qevctl 2.21"));
    const CtlRun help = RunQevctl({QStringLiteral("set"), QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    // Every page's keys with their ranges and defaults.
    EXPECT_TRUE(help.out.contains(QStringLiteral("threshold         5..200, default 100")))
        << qPrintable(help.out);
    EXPECT_TRUE(help.out.contains(QStringLiteral("max-current       1.0..5.0, default 5.0")));
    const CtlRun backup = RunQevctl({QStringLiteral("backup"), QStringLiteral("--help")});
    EXPECT_TRUE(backup.out.contains(QStringLiteral("\n       qevctl backup --all DIR ")))
        << qPrintable(backup.out);
    EXPECT_TRUE(backup.out.contains(QStringLiteral("  -o, --output VALUE")));
}

const QString Speed = QStringLiteral("127.0.0.2");
const QString Gateway = QStringLiteral("127.0.0.3");
const QString Flashable = QStringLiteral("127.0.0.4");
const QString Silent = QStringLiteral("127.0.0.9");
const QString Program = QStringLiteral("127.0.0.5"); // a Spurnova PC program, no device
// Where every simulated device also hears the search: loopback has no broadcast.
const QString Gather = QStringLiteral("127.0.0.1");

class QevctlLoopback : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        base = FreeUdpPort(QHostAddress::AnyIPv4);
        own = FreeUdpPort(QHostAddress::AnyIPv4);
        ASSERT_NE(base, 0);
        ASSERT_NE(own, 0);
        // Backups of qevctl go below the test's folder, never into the user's.
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
        // The log goes to a file: a firmware image's datagrams would fill the pipe while the
        // test waits for qevctl.
        QStringList arguments{QStringLiteral("--base-port"), QString::number(base),
                              QStringLiteral("--settings"),  codes(),
                              QStringLiteral("--log"),       logPath(),
                              QStringLiteral("--gather"),    Gather};
        for (const QString &spec : {QStringLiteral("class=2,ip=%1").arg(Speed),
                                    QStringLiteral("class=27,ip=%1,boosters=2").arg(Gateway),
                                    QStringLiteral("class=17,ip=%1,flash=%2,restart=0")
                                        .arg(Flashable, dir.filePath(QStringLiteral("flash.bin"))),
                                    QStringLiteral("class=254,ip=%1").arg(Program)})
            arguments << QStringLiteral("--device") << spec + QStringLiteral(",port=%1").arg(own);
        ASSERT_TRUE(sim.start(arguments)) << qPrintable(sim.diagnostics());
    }

    QString codes() const { return dir.filePath(QStringLiteral("codes.ini")); }
    QString logPath() const { return dir.filePath(QStringLiteral("devsim.log")); }

    // qevctl against the simulator: its base port and codes, the device's port.
    CtlRun ctl(const QStringList &arguments, bool devicePort = true) {
        QStringList all{QStringLiteral("--base-port"), QString::number(base),
                        QStringLiteral("--settings"), codes()};
        all << arguments;
        if (devicePort)
            all << QStringLiteral("--port") << QString::number(own);
        return RunQevctl(all);
    }

    // What the device at ip received, as upper-case hex with blanks.
    QStringList received(const QString &ip) {
        QStringList payloads;
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return payloads;
        for (const QByteArray &line : log.readAll().split('\n')) {
            const std::optional<DevsimRx> rx = ParseDevsimRxLine(QString::fromLatin1(line));
            if (rx && rx->dstIp == ip)
                payloads << QString::fromLatin1(rx->payload.toHex(' ').toUpper());
        }
        return payloads;
    }

    // The requests the device at ip received that begin with prefix.
    qsizetype receivedCount(const QString &ip, const QString &prefix) {
        const QStringList payloads = received(ip);
        return std::count_if(payloads.begin(), payloads.end(),
                             [&](const QString &payload) { return payload.startsWith(prefix); });
    }

    static QJsonObject jsonFile(const QString &path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
        return QJsonDocument::fromJson(file.readAll()).object();
    }

    static QJsonDocument json(const CtlRun &run) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << qPrintable(run.out);
        return document;
    }

    QTemporaryDir dir;
    quint16 base = 0;
    quint16 own = 0;
    DevsimRunner sim;
};

TEST_F(QevctlLoopback, IdentifyReportsClassVersionAndPages) {
    const CtlRun run = ctl({QStringLiteral("identify"), Speed, QStringLiteral("--json")});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    const QJsonObject device = json(run).object();
    EXPECT_EQ(device.value(QStringLiteral("address")).toString(), Speed);
    EXPECT_EQ(device.value(QStringLiteral("port")).toInt(), own);
    EXPECT_EQ(device.value(QStringLiteral("class")).toInt(), 2);
    EXPECT_EQ(device.value(QStringLiteral("version")).toString(), QStringLiteral("7.4"));
    EXPECT_EQ(device.value(QStringLiteral("pages")).toArray(), QJsonArray{QStringLiteral("speed")});
    EXPECT_TRUE(device.value(QStringLiteral("serial")).isNull());
    EXPECT_EQ(received(Speed).value(0), QStringLiteral("60 0F"));
}

TEST_F(QevctlLoopback, TraceShowsAndSavesTheDatagrams) {
    const QString pcapng = dir.filePath(QStringLiteral("trace.pcapng"));
    const CtlRun lines =
        ctl({QStringLiteral("--trace"), QStringLiteral("-"), QStringLiteral("identify"), Speed});
    ASSERT_EQ(lines.exitCode, 0) << qPrintable(lines.err);
    EXPECT_TRUE(lines.err.contains(QStringLiteral("-> %1:%2").arg(Speed).arg(own)))
        << qPrintable(lines.err);
    const CtlRun run = ctl({QStringLiteral("--trace"), pcapng, QStringLiteral("identify"), Speed});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_FALSE(run.err.contains(QStringLiteral("-> "))) << qPrintable(run.err);
    QFile file(pcapng);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // A section header block, then the packets.
    EXPECT_EQ(file.read(4), QByteArray::fromHex("0A0D0D0A"));
    EXPECT_GT(file.size(), 200);
}

TEST_F(QevctlLoopback, DeviceThatDoesNotAnswerExitsWithThree) {
    const CtlRun run = ctl({QStringLiteral("get"), Silent});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_TRUE(run.err.contains(QStringLiteral("No answer from device"))) << qPrintable(run.err);
}

TEST_F(QevctlLoopback, DiscoverListsWhatAnsweredTheSearch) {
    const CtlRun run =
        ctl({QStringLiteral("discover"), QStringLiteral("--broadcast"), Speed,
             QStringLiteral("--timeout"), QStringLiteral("800"), QStringLiteral("--json")},
            false);
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    const QJsonArray devices = json(run).array();
    ASSERT_EQ(devices.size(), 1);
    const QJsonObject device = devices[0].toObject();
    EXPECT_EQ(device.value(QStringLiteral("address")).toString(), Speed);
    EXPECT_EQ(device.value(QStringLiteral("port")).toInt(), own);
    EXPECT_EQ(device.value(QStringLiteral("class")).toInt(), 2);
    EXPECT_EQ(device.value(QStringLiteral("mac")).toString().size(), 17);
    EXPECT_FALSE(device.value(QStringLiteral("program")).toBool());
    EXPECT_EQ(received(Speed).value(0), QStringLiteral("F5"));
}

TEST_F(QevctlLoopback, SetWritesTheGivenKeysAndGetReadsThemBack) {
    const CtlRun set = ctl({QStringLiteral("set"), Speed, QStringLiteral("speed"),
                            QStringLiteral("calibration=12345"), QStringLiteral("threshold=50")});
    ASSERT_EQ(set.exitCode, 0) << qPrintable(set.err);
    EXPECT_EQ(set.out.trimmed(), QStringLiteral("Command accepted"));
    // The keys not given keep what the device held; pause and measuring time their defaults.
    EXPECT_TRUE(received(Speed).contains(QStringLiteral("04 AA 55 30 39 01 32 28 0F 04 14 01")))
        << qPrintable(received(Speed).join(QLatin1Char('\n')));

    // The window's catalogue in the language asked for; nothing with --quiet.
    const CtlRun german =
        ctl({QStringLiteral("--lang"), QStringLiteral("de"), QStringLiteral("set"), Speed,
             QStringLiteral("speed"), QStringLiteral("threshold=50")});
    EXPECT_EQ(german.out.trimmed(), QStringLiteral("Befehl akzeptiert"));
    const CtlRun quiet = ctl({QStringLiteral("--quiet"), QStringLiteral("set"), Speed,
                              QStringLiteral("speed"), QStringLiteral("threshold=50")});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_TRUE(quiet.out.isEmpty()) << qPrintable(quiet.out);

    const CtlRun get = ctl({QStringLiteral("get"), Speed, QStringLiteral("--json")});
    ASSERT_EQ(get.exitCode, 0) << qPrintable(get.err);
    const QJsonObject speed = json(get).object().value(QStringLiteral("speed")).toObject();
    EXPECT_EQ(speed.value(QStringLiteral("calibration")).toInt(), 12345);
    EXPECT_EQ(speed.value(QStringLiteral("threshold")).toInt(), 50);
    EXPECT_EQ(speed.value(QStringLiteral("switch-off")).toInt(), 40);
}

TEST_F(QevctlLoopback, BoosterPagesRoundTripInTenthsAndFlags) {
    const CtlRun set =
        ctl({QStringLiteral("set"), Gateway, QStringLiteral("booster"),
             QStringLiteral("max-current=4.9"), QStringLiteral("pc-switches-on=yes")});
    ASSERT_EQ(set.exitCode, 0) << qPrintable(set.err);
    // 90 94 55 AA FF, sensitivity 30, 49 tenths, pause 0 (the PC switches on), no start-all.
    EXPECT_TRUE(received(Gateway).contains(QStringLiteral("90 94 55 AA FF 1E 31 00 00 00 00")))
        << qPrintable(received(Gateway).join(QLatin1Char('\n')));

    const CtlRun get = ctl({QStringLiteral("get"), Gateway, QStringLiteral("booster-gateway"),
                            QStringLiteral("--json")});
    ASSERT_EQ(get.exitCode, 0) << qPrintable(get.err);
    EXPECT_TRUE(json(get).object().value(QStringLiteral("booster-gateway")).isObject());
}

TEST_F(QevctlLoopback, BoostersAreListedAndRenamed) {
    const CtlRun rename = ctl(
        {QStringLiteral("rename-booster"), Gateway, QStringLiteral("2"), QStringLiteral("Nord")});
    ASSERT_EQ(rename.exitCode, 0) << qPrintable(rename.err);
    EXPECT_TRUE(received(Gateway).contains(QStringLiteral("90 1E 02 04 4E 6F 72 64")));

    const CtlRun list = ctl({QStringLiteral("boosters"), Gateway, QStringLiteral("--json")});
    ASSERT_EQ(list.exitCode, 0) << qPrintable(list.err);
    const QJsonArray rows = json(list).array();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].toObject().value(QStringLiteral("address")).toInt(), 1);
    EXPECT_EQ(rows[0].toObject().value(QStringLiteral("name")).toString(),
              QStringLiteral("Booster 1"));
    EXPECT_EQ(rows[1].toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Nord"));
    EXPECT_EQ(rows[1].toObject().value(QStringLiteral("type")).toInt(), 1);
    EXPECT_EQ(rows[1].toObject().value(QStringLiteral("serial")).toString().size(), 17);

    const CtlRun notABus = ctl({QStringLiteral("boosters"), Speed});
    EXPECT_EQ(notABus.exitCode, 1);
    // Nor is a page the device does not have asked of it.
    const CtlRun notItsPage =
        ctl({QStringLiteral("set"), Speed, QStringLiteral("s88"), QStringLiteral("bus1=2")});
    EXPECT_EQ(notItsPage.exitCode, 1);
    EXPECT_TRUE(notItsPage.err.contains(QStringLiteral("has no page s88")));
    EXPECT_FALSE(received(Speed).contains(QStringLiteral("32")));
}

TEST_F(QevctlLoopback, FirmwareInstallsWithProgressLines) {
    const qev::imagemaker::ImageSpec spec{.classTag = 17, .blocks = 255};
    const QString image = dir.filePath(QStringLiteral("image.snFirm"));
    QString error;
    ASSERT_TRUE(qev::imagemaker::WriteImageFile(image, spec, &error)) << qPrintable(error);

    const CtlRun run = ctl({QStringLiteral("firmware"), Flashable, image});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err) << qPrintable(run.out);
    // Not a terminal: plain lines, the phases in the catalogue's words.
    EXPECT_TRUE(run.out.contains(QStringLiteral("progress 255/255"))) << qPrintable(run.out);
    EXPECT_FALSE(run.out.contains(QLatin1Char('\r')));
    // The settings were saved before, into the backups folder.
    EXPECT_TRUE(run.out.contains(QStringLiteral("Settings saved to %1/qev-programmer/backups/")
                                     .arg(dir.filePath(QStringLiteral("data")))))
        << qPrintable(run.out);
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("data/qev-programmer/backups")))
                  .entryList({QStringLiteral("Ferrano_S88-Controller-*.json")})
                  .size(),
              1);
    QFile flash(dir.filePath(QStringLiteral("flash.bin")));
    ASSERT_TRUE(flash.open(QIODevice::ReadOnly));
    EXPECT_EQ(flash.readAll(), qev::imagemaker::ImagePayload(spec));

    const CtlRun wrongClass = ctl({QStringLiteral("firmware"), Speed, image});
    EXPECT_EQ(wrongClass.exitCode, 1);
    EXPECT_TRUE(wrongClass.err.contains(QStringLiteral("Firmware"))) << qPrintable(wrongClass.err);
}

TEST_F(QevctlLoopback, BackupIsRestoredAfterItsDiffAndAnEditedFileIsRefused) {
    // Into the backups folder, by class and serial number.
    const CtlRun backup = ctl({QStringLiteral("backup"), Flashable});
    ASSERT_EQ(backup.exitCode, 0) << qPrintable(backup.err);
    const QString file = backup.out.trimmed();
    EXPECT_TRUE(file.startsWith(dir.filePath(QStringLiteral("data/qev-programmer/backups/"
                                                            "Ferrano_S88-Controller-"))))
        << qPrintable(file);
    QJsonObject saved = jsonFile(file);
    QJsonObject pages = saved.value(QStringLiteral("pages")).toObject();
    QJsonObject s88 = pages.value(QStringLiteral("s88")).toObject();
    const int bus1 = s88.value(QStringLiteral("bus1")).toInt(-1);
    ASSERT_NE(bus1, 8) << qPrintable(QJsonDocument(saved).toJson());
    ASSERT_EQ(
        ctl({QStringLiteral("set"), Flashable, QStringLiteral("s88"), QStringLiteral("bus1=8")})
            .exitCode,
        0);
    const QString s88Write = QStringLiteral("34 AA");
    const qsizetype writes = receivedCount(Flashable, s88Write);

    const CtlRun dry =
        ctl({QStringLiteral("restore"), Flashable, file, QStringLiteral("--dry-run")});
    EXPECT_EQ(dry.exitCode, 0) << qPrintable(dry.err);
    EXPECT_EQ(dry.out.trimmed(), QStringLiteral("s88.bus1: 8 -> %1").arg(bus1));
    // Nobody can answer the question: nothing is written, rather than waiting.
    const CtlRun unasked = ctl({QStringLiteral("restore"), Flashable, file});
    EXPECT_EQ(unasked.exitCode, 1);
    EXPECT_TRUE(unasked.err.contains(QStringLiteral("Standard input is not a terminal")))
        << qPrintable(unasked.err);
    EXPECT_EQ(receivedCount(Flashable, s88Write), writes);

    const CtlRun restore =
        ctl({QStringLiteral("restore"), Flashable, file, QStringLiteral("--yes")});
    ASSERT_EQ(restore.exitCode, 0) << qPrintable(restore.err);
    EXPECT_TRUE(restore.out.contains(QStringLiteral("s88: Command accepted")))
        << qPrintable(restore.out);
    EXPECT_EQ(receivedCount(Flashable, s88Write), writes + 1);
    const CtlRun get =
        ctl({QStringLiteral("get"), Flashable, QStringLiteral("s88"), QStringLiteral("--json")});
    EXPECT_EQ(
        json(get).object().value(QStringLiteral("s88")).toObject().value(QStringLiteral("bus1")),
        bus1);

    // Edited by hand beyond the bus's range: refused with the field named, nothing sent.
    s88.insert(QStringLiteral("bus1"), 70);
    pages.insert(QStringLiteral("s88"), s88);
    saved.insert(QStringLiteral("pages"), pages);
    const QString edited = dir.filePath(QStringLiteral("edited.json"));
    QFile editedFile(edited);
    ASSERT_TRUE(editedFile.open(QIODevice::WriteOnly));
    editedFile.write(QJsonDocument(saved).toJson());
    editedFile.close();
    const qsizetype sent = received(Flashable).size();
    const CtlRun refused =
        ctl({QStringLiteral("restore"), Flashable, edited, QStringLiteral("--yes")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("pages.s88.bus1"))) << qPrintable(refused.err);
    EXPECT_EQ(received(Flashable).size(), sent);

    // Every device the search finds, one file each; the PC program has no settings.
    const QString folder = dir.filePath(QStringLiteral("layout"));
    const CtlRun all = ctl({QStringLiteral("backup"), QStringLiteral("--all"), folder,
                            QStringLiteral("--broadcast"), Gather, QStringLiteral("--timeout"),
                            QStringLiteral("800")},
                           false);
    ASSERT_EQ(all.exitCode, 0) << qPrintable(all.err);
    EXPECT_EQ(all.out.trimmed().split(QLatin1Char('\n')).size(), 3) << qPrintable(all.out);
    QStringList addresses;
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.json")}, QDir::Files))
        addresses << jsonFile(QDir(folder).filePath(name))
                         .value(QStringLiteral("device"))
                         .toObject()
                         .value(QStringLiteral("address"))
                         .toString();
    addresses.sort();
    EXPECT_EQ(addresses, (QStringList{Speed, Gateway, Flashable}))
        << qPrintable(addresses.join(QLatin1Char(' ')));
}

} // namespace
