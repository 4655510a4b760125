#include "report/knownfolders.h"

#include <QDir>
#include <QFileInfo>

namespace qev {

const QUuid FOLDERID_ProgramFiles(0x905E63B6, 0xC1BF, 0x494E, 0xB2, 0x9C, 0x65, 0xB7, 0x32, 0xD3,
                                  0xD2, 0x1A);
const QUuid FOLDERID_ProgramFilesX86(0x7C5A40EF, 0xA0FB, 0x4BFC, 0x87, 0x4A, 0xC0, 0xF2, 0xE0, 0xB9,
                                     0xFA, 0x8E);

namespace {

QString driveC() {
    return QDir::cleanPath(WinePrefix() + QStringLiteral("/drive_c"));
}

bool isDrivePath(const QString &path) {
    return path.size() >= 2 && path.at(0).isLetter() && path.at(0).unicode() < 128 &&
           path.at(1) == u':' && (path.size() == 2 || path.at(2) == u'\\' || path.at(2) == u'/');
}

// root followed by the components of rest; a component that does not exist as written
// takes the spelling of the folder entry that differs from it in case only.
QString withFoundCase(const QString &root, const QString &rest) {
    QString path = root;
    for (const QString &name : rest.split(u'/', Qt::SkipEmptyParts)) {
        QString next = path + u'/' + name;
        if (!QFileInfo::exists(next)) {
            const QStringList entries = QDir(path).entryList(QDir::AllEntries | QDir::Hidden |
                                                             QDir::System | QDir::NoDotAndDotDot);
            for (const QString &entry : entries) {
                if (entry.compare(name, Qt::CaseInsensitive) == 0) {
                    next = path + u'/' + entry;
                    break;
                }
            }
        }
        path = next;
    }
    return path;
}

} // namespace

QString WinePrefix() {
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (prefix.isEmpty())
        return QDir::cleanPath(QDir::homePath() + QStringLiteral("/.wine"));
    if (!QDir::isAbsolutePath(prefix))
        throw KnownFolderError(
            QStringLiteral("invalid directory %1 in WINEPREFIX: not an absolute path")
                .arg(prefix)
                .toStdString());
    return QDir::cleanPath(prefix);
}

QString KnownFolderPath(const QUuid &folderId) {
    if (folderId == FOLDERID_ProgramFiles)
        return driveC() + QStringLiteral("/Program Files");
    if (folderId == FOLDERID_ProgramFilesX86)
        return driveC() + QStringLiteral("/Program Files (x86)");
    throw KnownFolderError(QStringLiteral("unknown known folder %1")
                               .arg(folderId.toString(QUuid::WithBraces))
                               .toStdString());
}

QString LinuxPathOf(const QString &windowsPath) {
    if (!isDrivePath(windowsPath))
        return windowsPath;
    const QChar drive = windowsPath.at(0).toLower();
    QString rest = windowsPath.mid(2);
    rest.replace(u'\\', u'/');
    const QString root =
        drive == u'c' ? driveC() : WinePrefix() + QStringLiteral("/dosdevices/") + drive + u':';
    const QString path = QDir::cleanPath(root + u'/' + rest);
    if (!path.startsWith(root + u'/'))
        return path;
    return withFoundCase(root, path.mid(root.size()));
}

QString WindowsFolderText(const QString &linuxFolder) {
    const QString folder = QDir::cleanPath(linuxFolder);
    const QString root = driveC();
    if (folder != root && !folder.startsWith(root + u'/'))
        return folder.endsWith(u'/') ? folder : folder + u'/';
    QString rest = folder.mid(root.size());
    rest.replace(u'/', u'\\');
    if (!rest.endsWith(u'\\'))
        rest += u'\\';
    return QStringLiteral("C:") + rest;
}

} // namespace qev
