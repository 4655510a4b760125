#pragma once

// A recursive file search with the events of the program's file-search component. In
// threaded mode the folder walk runs on a worker thread; each event is handed to the thread
// that owns the component (the window's) and runs there while the worker waits, so the
// handlers touch their data without locks. The handler's IgnoreFolder answer travels back.
//
// On Linux the attributes come from what the Windows programs under Wine would see: hidden
// and system from Wine's DOS attributes (extended attribute user.DOSATTRIB) where the file
// system carries them, read-only from the permissions. Names match without regard to case,
// as on Windows. A folder reached a second time (a symbolic link back into the tree) is not
// walked again, so a link loop ends.

#include <QFlags>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

namespace qev {

class EFindFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TFileAttribute {
    ffArchive = 0x01,
    ffReadonly = 0x02,
    ffHidden = 0x04,
    ffSystem = 0x08,
    ffDirectory = 0x10,
};
Q_DECLARE_FLAGS(TFileAttributes, TFileAttribute)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFileAttributes)

// One directory entry as the search reports it.
struct TSearchRec {
    QString name;
    TFileAttributes attributes;
};

// The attributes a Windows program would see for the entry at path (symbolic links
// followed); nothing when the entry cannot be examined.
std::optional<TFileAttributes> EntryAttributes(const QString &path);

// Whether name matches a Windows file mask ("*" and "?", letter case ignored; a mask
// ending in ".*" also takes names without an extension).
bool MaskMatches(const QString &name, const QString &mask);

class TSearchThread;

class TFindFile : public QObject {
    Q_OBJECT
public:
    explicit TFindFile(QObject *parent = nullptr);
    // Requests the stop of a running search and waits until its worker has ended.
    ~TFindFile() override;

    QString Filename() const { return m_filename; }
    // Raises EFindFileError when the text has a folder part.
    void setFilename(const QString &filename);
    QString Location() const { return m_location; }
    // Folders separated by ";"; raises EFindFileError when the text holds "*" or "?".
    void setLocation(const QString &location);
    bool Subfolders = true;
    TFileAttributes Attributes = ffArchive | ffReadonly | ffHidden | ffSystem;
    bool ExactAttribute = false;
    bool Threaded = false;

    // Folder texts carry no trailing separator (except the root "/").
    std::function<void(const QString &folder, const TSearchRec &fileInfo)> OnFound;
    std::function<void(const QString &folder, bool &ignoreFolder)> OnNewFolder;
    std::function<void()> OnComplete;

    // Starts a search with the current properties; returns at once in threaded mode. Does
    // nothing while a search runs. A drive path in the location goes through the Wine prefix
    // (raises KnownFolderError when that prefix is unusable).
    void Execute();
    // Ends a running search at its next entry; OnComplete still follows.
    void Abort();
    bool Running() const { return m_running; }

private:
    friend class TSearchThread;
    struct Target {
        QString folder; // absolute, with a trailing separator
        QString mask;
    };
    QList<Target> buildTargets() const;
    void finish();

    QString m_filename = QStringLiteral("*.*");
    QString m_location;
    bool m_running = false;
    std::unique_ptr<TSearchThread> m_thread;
};

} // namespace qev
