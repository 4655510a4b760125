#include "report/findfile.h"

#include "report/knownfolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QThread>

#include <condition_variable>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace qev {

namespace {

// Wine keeps the DOS attributes it cannot map to permissions in this extended attribute,
// as the text "0x" followed by hexadecimal digits (the Samba convention).
constexpr char DosAttribName[] = "user.DOSATTRIB";
constexpr unsigned DosHidden = 0x02;
constexpr unsigned DosSystem = 0x04;

TFileAttributes dosAttributes(const QByteArray &path) {
    char value[32];
    const ssize_t length = ::getxattr(path.constData(), DosAttribName, value, sizeof value - 1);
    if (length <= 2 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X'))
        return {};
    bool ok = false;
    const unsigned bits = QByteArray(value + 2, length - 2).toUInt(&ok, 16);
    TFileAttributes attributes;
    if (ok && (bits & DosHidden))
        attributes |= ffHidden;
    if (ok && (bits & DosSystem))
        attributes |= ffSystem;
    return attributes;
}

struct DirEntry {
    QString name;
    TFileAttributes attributes;
    dev_t device = 0;
    ino_t inode = 0;
};

std::optional<DirEntry> examine(const QString &path, const QString &name) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0)
        return std::nullopt;
    DirEntry entry{name, {}, info.st_dev, info.st_ino};
    if (S_ISDIR(info.st_mode))
        entry.attributes |= ffDirectory;
    // Wine calls a file read-only when nobody may write it.
    else if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        entry.attributes |= ffReadonly;
    entry.attributes |= dosAttributes(native);
    return entry;
}

// The entries of a folder in the order the file system lists them, "." and ".." left out.
std::vector<DirEntry> listFolder(const QString &folder) {
    std::vector<DirEntry> entries;
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return entries;
    while (const dirent *item = ::readdir(dir)) {
        const QString name = QFile::decodeName(item->d_name);
        if (name == u"." || name == u"..")
            continue;
        if (auto entry = examine(folder + name, name))
            entries.push_back(std::move(*entry));
    }
    ::closedir(dir);
    return entries;
}

bool attributesPass(TFileAttributes entry, TFileAttributes wanted, bool exact) {
    if (exact)
        return entry == wanted;
    return entry == TFileAttributes() || (entry & wanted) != TFileAttributes();
}

QString withoutTrailingSeparator(const QString &folder) {
    return folder.size() > 1 && folder.endsWith(u'/') ? folder.chopped(1) : folder;
}

bool matchFrom(QStringView name, QStringView mask) {
    // Greedy "*" with a single backtracking point, enough for masks without brackets.
    qsizetype n = 0, m = 0, starMask = -1, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() &&
            (mask[m] == u'?' || mask[m].toCaseFolded() == name[n].toCaseFolded())) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == u'*') {
            starMask = m++;
            starName = n;
        } else if (starMask >= 0) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*')
        ++m;
    return m == mask.size();
}

} // namespace

std::optional<TFileAttributes> EntryAttributes(const QString &path) {
    const auto entry = examine(path, QString());
    if (!entry)
        return std::nullopt;
    return entry->attributes;
}

bool MaskMatches(const QString &name, const QString &mask) {
    if (matchFrom(name, mask))
        return true;
    return mask.endsWith(QStringLiteral(".*")) && !name.contains(u'.') &&
           matchFrom(name, QStringView(mask).chopped(2));
}

// The walk of one search. Events go through deliver(), which runs them on the component's
// thread and returns the handler's answer.
class TSearchThread : public QThread {
public:
    TSearchThread(TFindFile &owner, QList<TFindFile::Target> targets)
        : m_owner(owner)
        , m_targets(std::move(targets))
        , m_subfolders(owner.Subfolders)
        , m_attributes(owner.Attributes)
        , m_exact(owner.ExactAttribute) {}

    void requestStop() {
        {
            std::lock_guard lock(m_channel->mutex);
            m_channel->stop = true;
        }
        m_channel->answered.notify_all();
    }
    bool stopRequested() const {
        std::lock_guard lock(m_channel->mutex);
        return m_channel->stop;
    }

    void walk() {
        try {
            for (const TFindFile::Target &target : std::as_const(m_targets)) {
                visit(target.folder, target.mask);
                if (stopRequested())
                    break;
            }
        } catch (const std::exception &) {
            requestStop();
        }
    }

protected:
    void run() override { walk(); }

private:
    // What the worker and the component's thread share for one hand-over at a time.
    struct Channel {
        std::mutex mutex;
        std::condition_variable answered;
        bool done = false;
        bool result = false;
        bool stop = false;
    };

    // Runs call on the component's thread and waits for it; false when a stop ended the
    // wait. Off a worker thread (unthreaded search) the call runs at once.
    bool deliver(std::function<bool()> call) {
        if (QThread::currentThread() != this)
            return runGuarded(call);
        {
            std::lock_guard lock(m_channel->mutex);
            m_channel->done = false;
        }
        QMetaObject::invokeMethod(
            &m_owner,
            [this, channel = m_channel, call = std::move(call)] {
                const bool result = runGuarded(call);
                {
                    std::lock_guard lock(channel->mutex);
                    channel->result = result;
                    channel->done = true;
                }
                channel->answered.notify_all();
            },
            Qt::QueuedConnection);
        std::unique_lock lock(m_channel->mutex);
        m_channel->answered.wait(lock, [this] { return m_channel->done || m_channel->stop; });
        return m_channel->done && m_channel->result;
    }

    // A handler that throws ends the search as a stop would.
    bool runGuarded(const std::function<bool()> &call) {
        try {
            return call();
        } catch (...) {
            requestStop();
            return false;
        }
    }

    void visit(const QString &folder, const QString &mask) {
        // A folder met again through a symbolic link is not reported or walked twice.
        struct stat info {};
        const bool exists = ::stat(QFile::encodeName(folder).constData(), &info) == 0;
        if (exists && m_visited.contains({info.st_dev, info.st_ino}))
            return;
        const QString shown = withoutTrailingSeparator(folder);
        const bool ignore = deliver([this, shown] {
            bool ignoreFolder = false;
            if (m_owner.OnNewFolder)
                m_owner.OnNewFolder(shown, ignoreFolder);
            return ignoreFolder;
        });
        if (ignore || !exists || stopRequested())
            return;
        m_visited.insert({info.st_dev, info.st_ino});

        const std::vector<DirEntry> entries = listFolder(folder);
        for (const DirEntry &entry : entries) {
            if (stopRequested())
                return;
            if (entry.name.startsWith(u'.') || !MaskMatches(entry.name, mask) ||
                !attributesPass(entry.attributes, m_attributes, m_exact))
                continue;
            const TSearchRec rec{entry.name, entry.attributes};
            deliver([this, shown, rec] {
                if (m_owner.OnFound)
                    m_owner.OnFound(shown, rec);
                return true;
            });
        }
        if (!m_subfolders)
            return;
        for (const DirEntry &entry : entries) {
            if (stopRequested())
                return;
            if (entry.attributes.testFlag(ffDirectory) && !entry.name.startsWith(u'.'))
                visit(folder + entry.name + u'/', mask);
        }
    }

    TFindFile &m_owner;
    const QList<TFindFile::Target> m_targets;
    const bool m_subfolders;
    const TFileAttributes m_attributes;
    const bool m_exact;
    const std::shared_ptr<Channel> m_channel = std::make_shared<Channel>();
    std::set<std::pair<dev_t, ino_t>> m_visited;
};

TFindFile::TFindFile(QObject *parent)
    : QObject(parent) {}

TFindFile::~TFindFile() {
    if (m_thread) {
        m_thread->requestStop();
        m_thread->wait();
    }
}

void TFindFile::setFilename(const QString &filename) {
    if (filename.contains(u'/') || filename.contains(u'\\') || filename.contains(u':'))
        throw EFindFileError(
            QStringLiteral("%1\n\rInvalid filename specified").arg(filename).toStdString());
    m_filename = filename;
}

void TFindFile::setLocation(const QString &location) {
    if (location.contains(u'*') || location.contains(u'?'))
        throw EFindFileError(QStringLiteral("%1\n\rlocation cannot to be contained wildcards")
                                 .arg(location)
                                 .toStdString());
    m_location = location;
}

QList<TFindFile::Target> TFindFile::buildTargets() const {
    QString mask = m_filename.isEmpty() ? QStringLiteral("*.*") : m_filename;
    if (!mask.contains(u'.'))
        mask += QStringLiteral(".*");
    QList<Target> targets;
    QStringList seen;
    QString rest = m_location;
    while (!rest.isEmpty() && rest != u";") {
        const qsizetype cut = rest.indexOf(u';');
        const QString part = cut < 0 ? rest : rest.left(cut);
        rest = cut < 0 ? QString() : rest.mid(cut + 1);
        QString folder =
            part.isEmpty() ? QDir::currentPath() : QFileInfo(LinuxPathOf(part)).absoluteFilePath();
        if (!folder.endsWith(u'/'))
            folder += u'/';
        const QString key = (folder + mask).toCaseFolded();
        if (seen.contains(key))
            continue;
        seen.append(key);
        targets.append({folder, mask});
    }
    return targets;
}

void TFindFile::Execute() {
    if (m_running)
        return;
    // Before the running mark: a location that cannot be resolved raises and leaves the
    // component idle.
    QList<Target> targets = buildTargets();
    m_running = true;
    m_thread = std::make_unique<TSearchThread>(*this, std::move(targets));
    if (!Threaded) {
        m_thread->walk();
        finish();
        return;
    }
    connect(m_thread.get(), &QThread::finished, this, &TFindFile::finish, Qt::QueuedConnection);
    m_thread->start();
}

void TFindFile::Abort() {
    if (m_thread)
        m_thread->requestStop();
}

void TFindFile::finish() {
    if (m_thread) {
        m_thread->wait();
        m_thread.reset();
    }
    m_running = false;
    if (OnComplete)
        OnComplete();
}

} // namespace qev
