// "Einstellungen sichern…" and "Einstellungen wiederherstellen…" in the window against
// qev-devsim over loopback: a backup restored onto a device with another serial number asks
// about the replacement, shows its changes in the table, writes nothing when cancelled and
// the file's value when confirmed; a firmware installation leaves a backup behind, and settings
// that changed meanwhile are offered back and written.

#include "app/qevprogrammerform.h"
#include "backup/backupview.h"
#include "backup/restoredialog.h"
#include "backup/settingsbackup.h"
#include "devsimrunner.h"
#include "fakehostnetwork.h"
#include "firmware/firmwarepage.h"
#include "imagemaker.h"
#include "pages/pagekeys.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace qevtest;

namespace {

const QString Device = QStringLiteral("127.0.0.2");

class BackupLoopback : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // The backups folder lies in the test's own folder, never in the user's home.
        m_dataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toUtf8());
        host.setLocalIP(QStringLiteral("127.0.0.10"));
        // The restart after an installation is awaited by ping.
        host.addAnswering(Device);
        ports.base = FreeUdpPort(QHostAddress::AnyIPv4);
        own = FreeUdpPort(QHostAddress::AnyIPv4);
        ASSERT_NE(ports.base, 0);
        ASSERT_NE(own, 0);
        const QString settings = dir.filePath(QStringLiteral("qev.ini"));
        ASSERT_TRUE(sim.start({QStringLiteral("--base-port"), QString::number(ports.base),
                               QStringLiteral("--settings"), settings, QStringLiteral("--device"),
                               QStringLiteral("class=17,ip=%1,port=%2,serial=0A0B0C0D,restart=0")
                                   .arg(Device)
                                   .arg(own)}))
            << qPrintable(sim.diagnostics());
        form = std::make_unique<TQevProgrammerForm>(settings, ports);
        form->setConfirmation([this](const QString &caption, const QString &text) {
            questions << caption + QLatin1Char('|') + text;
            return true;
        });
        form->backupView().setNotice([this](const QString &caption, const QString &text) {
            notices << caption + QLatin1Char('|') + text;
        });
        form->show();
        const qev::MacBytes mac{0x02, 0x81, 0x7E, 0x00, 0x00, 0x02};
        form->IdentifyDevice(Device, QStringLiteral("255.0.0.0"), mac, own, 1, false);
    }

    void TearDown() override {
        if (m_dataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", m_dataHome);
    }

    QPushButton *button(const char *name) const {
        return form->findChild<QPushButton *>(QLatin1String(name));
    }

    // The writes of the S88 page that reached the device.
    int s88Writes() {
        int n = 0;
        for (const DevsimRx &rx : sim.rx(50))
            n += rx.payload.startsWith(char(0x34));
        return n;
    }

    int bus1() {
        const auto values = qev::pagekeys::FindPage(QStringLiteral("s88"))->read(form->link());
        return values ? values->value(QStringLiteral("bus1")).toInt() : -1;
    }

    // Presses "Einstellungen wiederherstellen…" with the file; the table of changes, once it
    // shows, is read and answered.
    void restore(const QString &path, bool write) {
        form->backupView().setOpenChooser([path](QWidget *, const QString &) { return path; });
        // The press returns once the restore has ended, table or not.
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, form.get(), [this, &poll, write] {
            auto *dialog = form->findChild<RestoreDialog *>();
            if (!dialog || !dialog->isVisible())
                return;
            poll.stop();
            // While the restore runs, neither button starts another.
            buttonsWhileOpen =
                button("btnBackup")->isEnabled() || button("btnRestore")->isEnabled();
            const auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("tblChanges"));
            rows.clear();
            for (int r = 0; r < table->rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < table->columnCount(); ++c)
                    cells << table->item(r, c)->text();
                rows << cells.join(QLatin1Char('|'));
            }
            networkOffered =
                dialog->findChild<QCheckBox *>(QStringLiteral("cbNetwork"))->isChecked();
            dialog->findChild<QPushButton *>(QLatin1String(write ? "btnWrite" : "btnCancel"))
                ->click();
        });
        poll.start(20);
        button("btnRestore")->click();
    }

    FakeHostNetwork host;
    QTemporaryDir dir;
    qev::ProtocolPorts ports;
    quint16 own = 0;
    DevsimRunner sim;
    std::unique_ptr<TQevProgrammerForm> form;
    QStringList questions;
    QStringList notices;
    QStringList rows;
    bool networkOffered = true;
    bool buttonsWhileOpen = true;

private:
    QByteArray m_dataHome;
};

TEST_F(BackupLoopback, ReplacementIsAskedChangesShownCancelWritesNothingWriteTakes) {
    ASSERT_TRUE(button("btnBackup")->isEnabled());
    ASSERT_TRUE(button("btnRestore")->isEnabled());
    const QString saved = dir.filePath(QStringLiteral("controller.json"));
    QString proposal;
    form->backupView().setSaveChooser([&](QWidget *, const QString &proposed) {
        proposal = proposed;
        return saved;
    });
    button("btnBackup")->click();
    EXPECT_TRUE(proposal.startsWith(qev::backup::BackupFolder() + QLatin1Char('/')))
        << qPrintable(proposal);
    EXPECT_TRUE(QDir(qev::backup::BackupFolder()).exists());
    EXPECT_TRUE(form->StatusText().contains(QStringLiteral("controller.json")))
        << qPrintable(form->StatusText());

    // The same settings from another device, with another first bus.
    qev::backup::FileError error;
    std::optional<qev::backup::Backup> file = qev::backup::LoadFile(saved, error);
    ASSERT_TRUE(file) << qPrintable(error.text());
    const int before = bus1();
    ASSERT_GE(before, 0);
    const int wanted = before == 8 ? 9 : 8;
    file->identity.serial = QStringLiteral("01:02:03:04");
    for (qev::backup::PageBackup &page : file->pages) {
        if (page.page == QLatin1String("s88"))
            page.values.insert(QStringLiteral("bus1"), wanted);
    }
    const QString other = dir.filePath(QStringLiteral("other.json"));
    QString saveError;
    ASSERT_TRUE(qev::backup::SaveFile(other, *file, saveError)) << qPrintable(saveError);

    // A file the reader refuses is named to the user; the device is not even asked.
    const QString broken = dir.filePath(QStringLiteral("broken.json"));
    QFile brokenFile(broken);
    ASSERT_TRUE(brokenFile.open(QIODevice::WriteOnly));
    brokenFile.write(R"({"format": 99})");
    brokenFile.close();
    const qsizetype received = sim.rx(50).size();
    restore(broken, true);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(notices[0].contains(QStringLiteral("99"))) << qPrintable(notices[0]);
    EXPECT_EQ(sim.rx(50).size(), received);
    notices.clear();

    const int writesBefore = s88Writes();
    restore(other, false);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(QStringLiteral("01:02:03:04"))) << qPrintable(questions[0]);
    EXPECT_TRUE(questions[0].contains(file->identity.serial));
    const QString s88Caption = QStringLiteral("Ferrano S88-Controller");
    EXPECT_EQ(rows,
              QStringList(QStringLiteral("%1|bus1|%2|%3").arg(s88Caption).arg(before).arg(wanted)));
    EXPECT_FALSE(networkOffered);
    EXPECT_FALSE(buttonsWhileOpen);
    EXPECT_EQ(s88Writes(), writesBefore);
    EXPECT_EQ(bus1(), before);

    questions.clear();
    restore(other, true);
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(s88Writes(), writesBefore + 1);
    EXPECT_EQ(bus1(), wanted);
    EXPECT_TRUE(button("btnRestore")->isEnabled());
    EXPECT_TRUE(notices.isEmpty()) << qPrintable(notices.join(QLatin1Char('\n')));
    EXPECT_TRUE(form->StatusText().contains(s88Caption)) << qPrintable(form->StatusText());
}

TEST_F(BackupLoopback, FirmwareInstallationLeavesABackupBehind) {
    auto *page = static_cast<FirmwarePage *>(form->PageWidget(qev::Page::TabSheetFirm));
    qev::InstallTiming timing;
    timing.restartCycleMs = 50;
    page->setInstallTiming(timing);
    form->ShowPage(page);
    QCoreApplication::processEvents();
    page->ui.btnUpdateFile->click();
    qev::imagemaker::ImageSpec spec;
    spec.classTag = 17;
    const QString image = dir.filePath(QStringLiteral("image.snFirm"));
    QString error;
    ASSERT_TRUE(qev::imagemaker::WriteImageFile(image, spec, &error)) << qPrintable(error);
    page->setFileChooser([image](QWidget *) { return image; });
    page->FileButton()->trigger();
    ASSERT_TRUE(page->ui.btnInstallFirmware->isEnabled());

    page->ui.btnInstallFirmware->click();
    // Once back, the device is identified again.
    int activations = 0;
    int identifiedAfter = 0;
    for (const DevsimRx &rx : sim.rx(50)) {
        activations += rx.payload.startsWith(char(0xF6));
        identifiedAfter += activations > 0 && rx.payload == QByteArray::fromHex("600F");
    }
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(identifiedAfter, 1);
    EXPECT_TRUE(page->ui.lbNoComeback->isHidden());
    const QStringList files =
        QDir(qev::backup::BackupFolder()).entryList({QStringLiteral("*.json")});
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(form->StatusText().contains(files[0])) << qPrintable(form->StatusText());
    // The device came back with the settings it had: nothing is offered.
    EXPECT_TRUE(questions.isEmpty()) << qPrintable(questions.join(QLatin1Char('\n')));
}

} // namespace

TEST_F(BackupLoopback, SettingsChangedByAnInstallationAreOfferedBackAndWritten) {
    const int before = bus1();
    ASSERT_GE(before, 0);
    form->backupView().beforeInstall();
    // What a new firmware might do to the settings.
    const int changed = before == 8 ? 9 : 8;
    ASSERT_EQ(qev::pagekeys::FindPage(QStringLiteral("s88"))
                  ->change(form->link(), {{QStringLiteral("bus1"), changed}}, -1),
              qev::pagekeys::SettingsPage::Outcome::Accepted);
    ASSERT_EQ(bus1(), changed);
    form->backupView().afterInstall(true);
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains(QStringLiteral("bus1: %1").arg(changed)))
        << qPrintable(questions[0]);
    EXPECT_EQ(bus1(), before);
    EXPECT_TRUE(notices.isEmpty()) << qPrintable(notices.join(QLatin1Char('\n')));
}
