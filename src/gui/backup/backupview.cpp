#include "backup/backupview.h"

#include "app/messagetext.h"
#include "app/pagecontrol.h"
#include "app/statusline.h"
#include "backup/restoredialog.h"
#include "devicelink/searchview.h"
#include "netinspect/deviceclass.h"
#include "pages/pagekeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

using qev::backup::FieldChange;
using qev::flow::Outcome;

QString chooseFile(QWidget *parent, const QString &proposal, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent,
                       mode == QFileDialog::AcceptSave
                           ? BackupView::tr("Einstellungen sichern")
                           : BackupView::tr("Einstellungen wiederherstellen"),
                       proposal, BackupView::tr("Einstellungen (*.json)"));
    dialog.setObjectName(mode == QFileDialog::AcceptSave ? QStringLiteral("SaveBackupDialog")
                                                         : QStringLiteral("OpenBackupDialog"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                       : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("json"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

// A path as the user knows it: the home folder as "~".
QString shownPath(const QString &path) {
    const QString home = QDir::homePath() + QLatin1Char('/');
    const QString native = QDir::toNativeSeparators(path);
    return path.startsWith(home) ? QStringLiteral("~/") + native.mid(home.size()) : native;
}

// The file a backup of the identified device is proposed under, before it is read.
QString proposedPath(const qev::IdentificationResult &identified, const QString &host) {
    qev::backup::Backup named;
    named.identity.address = host;
    named.identity.deviceClass = identified.dispatch->reportedClass;
    named.identity.className = qev::DeviceClassName(identified.dispatch->reportedClass);
    named.identity.serial = identified.serial.value_or(QString());
    named.identity.date = QDateTime::currentDateTime();
    return QDir(qev::backup::BackupFolder()).filePath(qev::backup::ProposedFileName(named));
}

} // namespace

// Puts the restore's questions to the user and tells its steps in the status line. The same
// run first shows the changes (a dry run), then writes what the user approved.
class BackupView::RestoreRun final : public qev::flow::RestoreProgress {
public:
    explicit RestoreRun(BackupView &view)
        : m_view(view) {}

    // The writing run takes exactly the changes the user saw, or any (the offer after an
    // installation was answered with the list already).
    void approve(const QList<FieldChange> &changes) { m_approved = changes; }
    void approveAny() { m_any = true; }
    void replacementKnown() { m_replacement = true; }
    bool changedMeanwhile() const { return m_changedMeanwhile; }

    bool confirmReplacement(const QString &fileSerial, const QString &deviceSerial) override {
        if (!m_replacement)
            m_replacement = m_view.m_ui.ask(
                BackupView::tr("Ersatzgerät"),
                BackupView::tr(
                    "Die Datei stammt von dem Gerät mit der Seriennummer %1; dieses Gerät hat "
                    "die Seriennummer %2.\n\nDie Einstellungen auf dieses Gerät übertragen?")
                    .arg(fileSerial, deviceSerial));
        return *m_replacement;
    }
    bool confirmChanges(const QList<FieldChange> &changes,
                        const QList<qev::backup::BoosterBackup> &) override {
        if (m_any || !m_approved)
            return true;
        // The device changed since the user saw the table: nothing the user did not see.
        m_changedMeanwhile = changes != *m_approved;
        return !m_changedMeanwhile;
    }
    void written(const QString &, const QString &, bool accepted) override {
        if (accepted)
            m_view.m_ui.status.showCommandAccepted();
        else
            m_view.m_ui.status.showNoAnswer();
    }
    void reading(const QString &part) override { m_view.showReading(part); }
    bool confirm(const qev::Confirmation &question) override {
        return m_view.m_ui.ask(MessageText(question.captionId),
                               qev::ComposeText(question.text, MessageText));
    }
    // The network programming finds the device at its new address.
    void found(const qev::DeviceRecord &device, const qev::FoundPresentation &shown) override {
        m_view.m_ui.search.showFound(device, shown);
    }
    void progress(int step, int, int messageId) override {
        if (step == qev::flow::ProgrammingReachable)
            m_view.m_ui.status.setText(MessageText(messageId));
    }

private:
    BackupView &m_view;
    std::optional<bool> m_replacement;
    std::optional<QList<FieldChange>> m_approved;
    bool m_any = false;
    bool m_changedMeanwhile = false;
};

BackupView::BackupView(Window window)
    : QObject(window.parent)
    , m_ui(std::move(window))
    , m_saveChooser([](QWidget *parent, const QString &proposal) {
        return chooseFile(parent, proposal, QFileDialog::AcceptSave);
    })
    , m_openChooser([](QWidget *parent, const QString &folder) {
        return chooseFile(parent, folder, QFileDialog::AcceptOpen);
    })
    , m_notice([this](const QString &caption, const QString &text) {
        QMessageBox::warning(m_ui.parent, caption, text);
    }) {
    updateButtons();
}

void BackupView::setSaveChooser(FileChooser chooser) {
    m_saveChooser = std::move(chooser);
}

void BackupView::setOpenChooser(FileChooser chooser) {
    m_openChooser = std::move(chooser);
}

void BackupView::setNotice(Notice notice) {
    m_notice = std::move(notice);
}

void BackupView::updateButtons() {
    const std::optional<qev::IdentificationResult> &identified = m_ui.search.identification();
    const bool enabled = !m_ui.link.busy() && identified && identified->dispatch &&
                         !qev::pagekeys::PagesOf(*identified->dispatch).isEmpty();
    m_ui.btnBackup->setEnabled(enabled);
    m_ui.btnRestore->setEnabled(enabled);
}

qev::flow::RestoreOptions BackupView::restoreOptions() const {
    qev::flow::RestoreOptions options;
    options.programVersion = QCoreApplication::applicationVersion();
    options.search = m_ui.searchOptions();
    options.ping = m_ui.ping;
    return options;
}

QString BackupView::partCaption(const QString &part) const {
    if (part == QLatin1String("network"))
        return m_ui.PageControl1->tabText(static_cast<int>(qev::Page::TabSheetMain));
    if (part == QLatin1String("boosters"))
        return tr("Booster am Bus");
    const qev::pagekeys::SettingsPage *page = qev::pagekeys::FindPage(part);
    return page ? m_ui.PageControl1->tabText(static_cast<int>(page->tab())) : part;
}

QString BackupView::changeLine(const FieldChange &change) const {
    return tr("%1, %2: %3 statt %4")
        .arg(partCaption(change.part), change.key, change.current, change.wanted);
}

// ---- Backup ----

void BackupView::showReading(const QString &part) {
    m_ui.status.setText(tr("Lese %1 …").arg(partCaption(part)));
}

void BackupView::showSaved(const QString &text, const QString &path, const QStringList &missing) {
    QString shown = text.arg(shownPath(path));
    if (missing.isEmpty()) {
        m_ui.status.setLed(LedColour::Green, false, true);
    } else {
        m_ui.status.setLed(LedColour::Red, true, true);
        shown += tr(" – es fehlen: %1").arg(missing.join(QStringLiteral("; ")));
    }
    m_ui.status.setText(shown);
}

void BackupView::btnBackupClick() {
    if (!m_ui.search.identification())
        return;
    const qev::IdentificationResult identified = *m_ui.search.identification();
    QDir().mkpath(qev::backup::BackupFolder());
    const QString path =
        m_saveChooser(m_ui.parent, proposedPath(identified, m_ui.link.current().host));
    if (path.isEmpty())
        return;
    m_ui.status.clear();
    qev::flow::BackupHooks hooks;
    hooks.reading = [this](const QString &part) {
        showReading(part);
    };
    const qev::backup::Backup backup =
        qev::flow::TakeBackup(m_ui.link, identified, QCoreApplication::applicationVersion(), hooks);
    QString error;
    if (!qev::backup::SaveFile(path, backup, error)) {
        m_ui.status.setText(tr("Einstellungen nicht gesichert: %1").arg(error));
        m_notice(tr("Einstellungen sichern"), error);
        return;
    }
    showSaved(tr("Einstellungen gesichert: %1"), path, backup.missingParts());
}

// ---- Restore ----

bool BackupView::reviewChanges(const qev::flow::Restored &preview, bool &network) {
    QList<RestoreDialog::Row> rows;
    for (const FieldChange &change : preview.changes) {
        const bool booster = change.part == QLatin1String("boosters");
        rows.append({partCaption(change.part),
                     booster ? tr("Name von Booster %1").arg(change.key) : change.key,
                     change.current.isEmpty() ? QStringLiteral("–") : change.current, change.wanted,
                     change.part == QLatin1String("network")});
    }
    QStringList missing;
    for (const qev::backup::BoosterBackup &booster : preview.missingBoosters)
        missing << tr("%1 „%2“").arg(booster.address).arg(booster.name);
    RestoreDialog dialog(rows, missing, m_ui.parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    network = dialog.restoreNetwork();
    return true;
}

void BackupView::btnRestoreClick() {
    if (!m_ui.search.identification())
        return;
    const qev::IdentificationResult identified = *m_ui.search.identification();
    const QString path = m_openChooser(m_ui.parent, qev::backup::BackupFolder());
    if (path.isEmpty())
        return;
    qev::backup::FileError error;
    const std::optional<qev::backup::Backup> file = qev::backup::LoadFile(path, error);
    if (!file) {
        m_notice(tr("Einstellungen wiederherstellen"), error.text());
        return;
    }

    // What would change, network settings included, before the user decides.
    RestoreRun run(*this);
    m_ui.status.clear();
    qev::flow::RestoreOptions options = restoreOptions();
    options.dryRun = true;
    options.network = true;
    qev::flow::Restored preview =
        qev::flow::RestoreBackup(m_ui.link, identified, *file, options, run);
    // A device that does not tell its network settings can still take its pages.
    if (preview.outcome == Outcome::NoAnswer && preview.refusal.field == QLatin1String("network")) {
        options.network = false;
        preview = qev::flow::RestoreBackup(m_ui.link, identified, *file, options, run);
    }
    if (preview.outcome != Outcome::Done) {
        showRestored(preview, run);
        return;
    }
    // A replacement is asked about before its changes are shown: the user may have chosen
    // the file of another device by mistake.
    if (preview.replacement &&
        !run.confirmReplacement(file->identity.serial, identified.serial.value_or(QString()))) {
        m_ui.status.setText(tr("Nichts geschrieben."));
        return;
    }
    if (preview.changes.isEmpty() && preview.missingBoosters.isEmpty()) {
        m_ui.status.setLed(LedColour::Green, false, true);
        m_ui.status.setText(tr("Das Gerät hat schon alle Werte der Datei."));
        return;
    }
    bool network = false;
    if (!reviewChanges(preview, network)) {
        m_ui.status.setText(tr("Nichts geschrieben."));
        return;
    }
    QList<FieldChange> approved;
    for (const FieldChange &change : preview.changes) {
        if (network || change.part != QLatin1String("network"))
            approved.append(change);
    }
    run.approve(approved);
    restore(identified, *file, network, run);
}

void BackupView::restore(const qev::IdentificationResult &identified,
                         const qev::backup::Backup &file, bool network, RestoreRun &run) {
    qev::flow::RestoreOptions options = restoreOptions();
    options.network = network;
    showRestored(qev::flow::RestoreBackup(m_ui.link, identified, file, options, run), run);
}

void BackupView::showRestored(const qev::flow::Restored &restored, const RestoreRun &run) {
    switch (restored.outcome) {
    case Outcome::Refused:
        m_ui.status.setText(tr("Nichts geschrieben."));
        m_notice(tr("Einstellungen wiederherstellen"), restored.refusal.text());
        return;
    case Outcome::Declined:
        m_ui.status.setText(run.changedMeanwhile()
                                ? tr("Das Gerät hat sich seit der Anzeige geändert; nichts "
                                     "geschrieben.")
                                : tr("Nichts geschrieben."));
        return;
    case Outcome::NoAnswer:
        // A part of the file the device did not let be read: nothing could be compared.
        m_ui.status.showNoAnswer();
        m_notice(tr("Einstellungen wiederherstellen"), restored.refusal.text());
        return;
    case Outcome::NoDevice:
        m_ui.status.showNoAnswer();
        return;
    case Outcome::Done:
        break;
    }

    QStringList written;
    QStringList refused;
    for (const qev::flow::PageWrite &write : restored.writes) {
        // The network settings' programming tells its own end.
        if (write.part == QLatin1String("network"))
            continue;
        const QString part = write.key.isEmpty() ? partCaption(write.part)
                                                 : tr("Name von Booster %1").arg(write.key);
        (write.accepted ? written : refused) << part;
    }
    if (refused.isEmpty() && restored.notTaken.isEmpty()) {
        m_ui.status.showCommandAccepted();
        m_ui.status.setText(
            written.isEmpty()
                ? tr("Nichts zu schreiben.")
                : tr("Wiederhergestellt: %1").arg(written.join(QStringLiteral(", "))));
    } else {
        QStringList lines;
        if (!refused.isEmpty())
            lines << tr("Nicht angenommen: %1").arg(refused.join(QStringLiteral(", ")));
        if (!restored.notTaken.isEmpty()) {
            lines << tr("Diese Werte liest das Gerät anders zurück als in der Datei:");
            for (const FieldChange &change : restored.notTaken)
                lines << changeLine(change);
        }
        m_ui.status.setLed(LedColour::Red, true, true);
        m_ui.status.setText(tr("Nicht alle Einstellungen wurden übernommen."));
        m_notice(tr("Einstellungen wiederherstellen"), lines.join(QLatin1Char('\n')));
    }
    if (!restored.network)
        return;
    const Outcome moved = restored.network->outcome;
    if (moved == Outcome::Done || moved == Outcome::NoAnswer)
        m_ui.search.ShowProgrammed(*restored.network);
    else if (moved == Outcome::Refused)
        m_notice(tr("Einstellungen wiederherstellen"), MessageText(restored.network->messageId));
}

// ---- Firmware installation ----

void BackupView::beforeInstall() {
    m_beforeInstall.reset();
    if (!m_ui.search.identification())
        return;
    const qev::IdentificationResult identified = *m_ui.search.identification();
    m_ui.status.setText(tr("Einstellungen werden vor der Installation gesichert …"));
    qev::flow::SavedBackup saved;
    try {
        saved = qev::flow::SaveIntoFolder(m_ui.link, identified, qev::backup::BackupFolder(),
                                          QCoreApplication::applicationVersion());
    } catch (const std::exception &error) {
        saved.error = QString::fromLocal8Bit(error.what());
    }
    // The installation goes on either way: the user chose to install.
    if (!saved.error.isEmpty()) {
        m_ui.status.setText(tr("Einstellungen nicht gesichert (%1); die Installation läuft weiter.")
                                .arg(saved.error));
        return;
    }
    m_beforeInstall = saved.backup;
    showSaved(tr("Einstellungen vor der Installation gesichert: %1"), saved.path,
              saved.backup.missingParts());
}

void BackupView::afterInstall(bool finished) {
    const std::optional<qev::backup::Backup> saved = std::exchange(m_beforeInstall, {});
    if (!finished || !saved)
        return;
    const std::optional<qev::IdentificationResult> identified = m_ui.search.IdentifyAgain();
    if (!identified)
        return;
    const QList<FieldChange> changes = qev::flow::ChangedSince(m_ui.link, *identified, *saved);
    if (changes.isEmpty())
        return;
    QStringList lines;
    for (const FieldChange &change : changes)
        lines << changeLine(change);
    if (!m_ui.ask(tr("Einstellungen nach der Installation"),
                  tr("Das Gerät hat nach der Installation andere Einstellungen als vorher:\n\n%1"
                     "\n\nDie gesicherten Werte zurückschreiben?")
                      .arg(lines.join(QLatin1Char('\n')))))
        return;
    RestoreRun run(*this);
    run.replacementKnown();
    run.approveAny();
    restore(*identified, *saved, false, run);
}
