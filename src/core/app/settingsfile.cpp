#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace qev {

namespace {

QString userSettingsPath(const QString &fileName) {
    // Shared by every program of the product, whatever its application name.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(base).filePath(QStringLiteral("qev-programmer/") + fileName);
}

// Permission bits do not tell (root passes every check, read-only mounts pass them too):
// try it.
bool canWrite(const QFileInfo &file) {
    if (file.exists()) {
        QFile existing(file.absoluteFilePath());
        return existing.open(QIODevice::Append);
    }
    QTemporaryFile probe(QDir(file.absolutePath()).filePath(QStringLiteral(".qev-probe-XXXXXX")));
    return probe.open();
}

QString settingsPathFor(const QString &besideProgram) {
    const QFileInfo file(besideProgram);
    return canWrite(file) ? file.absoluteFilePath() : userSettingsPath(file.fileName());
}

} // namespace

QString SettingsFilePath(const QString &programFile) {
    return settingsPathFor(programFile + QStringLiteral(".ini"));
}

QString ProgrammerSettingsFilePath(const QString &siblingProgramFile) {
    const QString folder = QFileInfo(siblingProgramFile).absolutePath();
    return settingsPathFor(QDir(folder).filePath(QStringLiteral("qev-programmer.ini")));
}

} // namespace qev
