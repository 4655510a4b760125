#include "report/knownfolders.h"

#include <QDir>

namespace qev {

const QUuid FOLDERID_ProgramFiles(0x905E63B6, 0xC1BF, 0x494E, 0xB2, 0x9C, 0x65, 0xB7, 0x32, 0xD3,
                                  0xD2, 0x1A);

namespace {

QString driveC() {
    return QDir::cleanPath(WinePrefix() + QStringLiteral("/drive_c"));
}

bool isDrivePath(const QString &path) {
    return path.size() >= 2 && path.at(0).isLetter() && path.at(0).unicode() < 128 &&
           path.at(1) == u':' && (path.size() == 2 || path.at(2) == u'\\' || path.at(2) == u'/');
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
    if (folderId != FOLDERID_ProgramFiles)
        throw KnownFolderError(QStringLiteral("unknown known folder %1")
                                   .arg(folderId.toString(QUuid::WithBraces))
                                   .toStdString());
    return driveC() + QStringLiteral("/Program Files");
}

QString LinuxPathOf(const QString &windowsPath) {
    if (!isDrivePath(windowsPath))
        return windowsPath;
    const QChar drive = windowsPath.at(0).toLower();
    QString rest = windowsPath.mid(2);
    rest.replace(u'\\', u'/');
    const QString root =
        drive == u'c' ? driveC() : WinePrefix() + QStringLiteral("/dosdevices/") + drive + u':';
    return QDir::cleanPath(root + u'/' + rest);
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
