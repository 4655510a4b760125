#pragma once

// "Einstellungen sichern…" and "Einstellungen wiederherstellen…" for the current device as the
// window shows them: the file choosers, the backup and restore flows with their questions and
// the table of changes, their results in the status line; and the backup taken before every
// firmware installation, offered back when the device returns with other settings. The
// window marks the link busy around each handler.

#include "backup/settingsbackup.h"
#include "devicelink/devicelink.h"
#include "flows/backup.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class PageControl;
class QPushButton;
class QWidget;
class SearchView;
class StatusLine;

class BackupView : public QObject {
    Q_OBJECT
public:
    // Asks for a file; empty when the user cancelled. proposal: the path offered (to save)
    // or the folder to start in (to open). Tests answer it themselves.
    using FileChooser = std::function<QString(QWidget *parent, const QString &proposal)>;
    // Shows a message the user must acknowledge.
    using Notice = std::function<void(const QString &caption, const QString &text)>;

    // What the view needs from the window.
    struct Window {
        qev::DeviceLink &link;
        StatusLine &status;
        QPushButton *btnBackup;
        QPushButton *btnRestore;
        PageControl *PageControl1; // the page captions the changes are shown under
        SearchView &search;        // the current device's identification
        std::function<qev::flow::SearchOptions()> searchOptions;
        qev::PingFunction ping;
        // A modal yes/no question; true for yes.
        std::function<bool(const QString &caption, const QString &text)> ask;
        QWidget *parent;
    };

    explicit BackupView(Window window);

    void setSaveChooser(FileChooser chooser);
    void setOpenChooser(FileChooser chooser);
    void setNotice(Notice notice);

    void btnBackupClick();
    void btnRestoreClick();
    // Pressable only for an identified device whose class has pages, while the link is idle.
    void updateButtons();

    // Around a firmware installation: the backup before; after, when the device came back,
    // the comparison with it and the offer to write it back.
    void beforeInstall();
    void afterInstall(bool finished);

private:
    class RestoreRun;

    qev::flow::RestoreOptions restoreOptions() const;
    // Runs the restore on the device and shows its results; the run has its questions.
    void restore(const qev::IdentificationResult &identified, const qev::backup::Backup &file,
                 bool network, RestoreRun &run);
    void showRestored(const qev::flow::Restored &restored, const RestoreRun &run);
    bool reviewChanges(const qev::flow::Restored &preview, bool &network);
    QString partCaption(const QString &part) const;
    QString changeLine(const qev::backup::FieldChange &change) const;
    void showReading(const QString &part);
    void showSaved(const QString &text, const QString &path, const QStringList &missing);

    Window m_ui;
    FileChooser m_saveChooser;
    FileChooser m_openChooser;
    Notice m_notice;
    // Taken before the running firmware installation.
    std::optional<qev::backup::Backup> m_beforeInstall;
};
