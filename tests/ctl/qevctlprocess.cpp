#include "qevctlprocess.h"

#include <QProcess>

namespace qevtest {

CtlRun RunQevctl(const QStringList &arguments, int timeoutMs) {
    QProcess process;
    process.start(QStringLiteral(QEVCTL_PATH),
                  QStringList{QStringLiteral("--lang"), QStringLiteral("en")} + arguments);
    CtlRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("qevctl did not finish");
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace qevtest
