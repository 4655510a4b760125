#pragma once

// Small real PE files for the tests, built from a resource script with Debian's mingw-w64
// cross tools: windres compiles the script, the cross linker makes an image of the
// resources alone (no code, no C library).

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>

namespace qevtest {

inline const QString Pe64 = QStringLiteral("x86_64-w64-mingw32");
inline const QString Pe32 = QStringLiteral("i686-w64-mingw32");

inline bool PeToolsAvailable(const QString &prefix = Pe64) {
    return !QStandardPaths::findExecutable(prefix + QStringLiteral("-windres")).isEmpty() &&
           !QStandardPaths::findExecutable(prefix + QStringLiteral("-gcc")).isEmpty();
}

inline bool RunTool(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// The path of the image written into dir, or empty when the tools are missing or fail.
inline QString BuildPe(const QString &dir, const QString &name, const QString &script,
                       const QString &prefix = Pe64) {
    if (!PeToolsAvailable(prefix))
        return {};
    const QString base = QDir(dir).filePath(name);
    QFile rc(base + QStringLiteral(".rc"));
    if (!rc.open(QIODevice::WriteOnly) || rc.write(script.toUtf8()) < 0)
        return {};
    rc.close();
    const QString image = base + QStringLiteral(".exe");
    if (!RunTool(prefix + QStringLiteral("-windres"),
                 {rc.fileName(), QStringLiteral("-O"), QStringLiteral("coff"), QStringLiteral("-o"),
                  base + QStringLiteral(".o")}) ||
        !RunTool(prefix + QStringLiteral("-gcc"),
                 {QStringLiteral("-s"), QStringLiteral("-nostdlib"), QStringLiteral("-e"),
                  QStringLiteral("0"), QStringLiteral("-o"), image, base + QStringLiteral(".o")}))
        return {};
    return image;
}

// A VERSIONINFO script with the given string-table name, string values and translation
// entries (as they stand after "VALUE \"Translation\",").
inline QString VersionScript(const QString &table, const QList<QPair<QString, QString>> &values,
                             const QString &translation) {
    QString script = QStringLiteral("#include <winver.h>\n1 VERSIONINFO\nFILEVERSION 1,0,0,0\n"
                                    "BEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"") +
                     table + QStringLiteral("\"\n    BEGIN\n");
    for (const auto &[key, value] : values)
        script += QStringLiteral("      VALUE \"%1\", \"%2\"\n").arg(key, value);
    script += QStringLiteral("    END\n  END\n");
    if (!translation.isEmpty())
        script += QStringLiteral("  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\", ") +
                  translation + QStringLiteral("\n  END\n");
    return script + QStringLiteral("END\n");
}

} // namespace qevtest
