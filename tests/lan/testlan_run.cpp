// qev-testlan-run: builds the namespace test LAN with simulated devices and runs a command
// as the PC inside it, for trying the program by hand or taking screenshots without any
// packet reaching the machine's own network. Needs root.
//
//   qev-testlan-run [--pc CIDR] [--gateway CIDR] [--logs DIR] [--device SPEC]...
//                   -- COMMAND [ARGS...]
//
// Each SPEC is handed to one qev-devsim in a namespace of its own; its ip= (with the PC's
// prefix length) becomes the address of that namespace's interface. Each simulator writes
// its log to a file of its own in DIR, never to a pipe that nobody reads, so that a long
// run cannot stall a simulator.

#include "testlan.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

volatile sig_atomic_t g_child = 0;

// Ctrl-C reaches the command anyway (same process group); this process only passes a
// signal on and stays to tear the LAN down. A handler, unlike an ignored signal, does not
// outlive the exec of the command.
void passOn(int signal) {
    if (g_child > 0)
        ::kill(pid_t(g_child), signal);
}

void catchEndSignals() {
    struct sigaction action {};
    action.sa_handler = passOn;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        ::sigaction(signal, &action, nullptr);
}

QString specValue(const QString &spec, const QString &key) {
    for (const QString &item : spec.split(QLatin1Char(','))) {
        if (item.trimmed().startsWith(key + QLatin1Char('=')))
            return item.trimmed().mid(key.size() + 1);
    }
    return {};
}

int usage() {
    std::fputs(
        "usage: qev-testlan-run [--pc CIDR] [--gateway CIDR] [--logs DIR] [--device SPEC]... "
        "-- COMMAND [ARGS...]\n"
        "  --pc CIDR       the PC's address (default 192.168.77.1/24)\n"
        "  --gateway CIDR  a gateway host on the LAN (default 192.168.77.254/24)\n"
        "  --logs DIR      where each simulator writes its log device<N>.log\n"
        "                  (default: a new folder /tmp/qev-testlan-XXXXXX)\n"
        "  --device SPEC   one qev-devsim device (see qev-devsim --help); needs ip=\n",
        stderr);
    return 2;
}

// Waits until the log file holds the simulator's "ready" line, or the simulator ended.
bool waitForReady(QProcess *sim, const QString &logPath) {
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        QFile log(logPath);
        if (log.open(QIODevice::ReadOnly) && log.readAll().split('\n').contains("ready"))
            return true;
        if (sim->state() == QProcess::NotRunning || sim->waitForFinished(50))
            return false;
    }
    return false;
}

QString makeLogFolder(const QString &asked) {
    if (!asked.isEmpty())
        return QDir().mkpath(asked) ? QDir(asked).absolutePath() : QString();
    QByteArray pattern("/tmp/qev-testlan-XXXXXX");
    const char *made = ::mkdtemp(pattern.data());
    return made ? QString::fromLocal8Bit(made) : QString();
}

} // namespace

int main(int argc, char **argv) {
    qevtest::EnterPrivateNetworkNamespace();
    QCoreApplication app(argc, argv);
    const QString why = qevtest::TestLan::unavailableReason();
    if (!why.isEmpty()) {
        std::fprintf(stderr, "qev-testlan-run: %s\n", qPrintable(why));
        return 1;
    }

    QString pc = QStringLiteral("192.168.77.1/24");
    QString gateway = QStringLiteral("192.168.77.254/24");
    QString logs;
    QStringList devices;
    QStringList command;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == QStringLiteral("--")) {
            command = args.mid(i + 1);
            break;
        }
        if (i + 1 >= args.size())
            return usage();
        if (arg == QStringLiteral("--pc"))
            pc = args[++i];
        else if (arg == QStringLiteral("--gateway"))
            gateway = args[++i];
        else if (arg == QStringLiteral("--logs"))
            logs = args[++i];
        else if (arg == QStringLiteral("--device"))
            devices << args[++i];
        else
            return usage();
    }
    if (command.isEmpty())
        return usage();
    for (const QString &spec : std::as_const(devices)) {
        if (specValue(spec, QStringLiteral("ip")).isEmpty()) {
            std::fprintf(stderr, "qev-testlan-run: --device %s has no ip=\n", qPrintable(spec));
            return 2;
        }
    }
    if (!devices.isEmpty()) {
        logs = makeLogFolder(logs);
        if (logs.isEmpty()) {
            std::fputs("qev-testlan-run: cannot make the folder for the simulators' logs\n",
                       stderr);
            return 1;
        }
    }

    catchEndSignals();
    try {
        qevtest::TestLan lan;
        lan.setupPc(pc, gateway);
        const QString prefix = pc.section(QLatin1Char('/'), 1);
        for (qsizetype n = 0; n < devices.size(); ++n) {
            const QString &spec = devices[n];
            const QString ns =
                lan.addDevice(specValue(spec, QStringLiteral("ip")) + QLatin1Char('/') + prefix);
            const QString logPath = QDir(logs).filePath(QStringLiteral("device%1.log").arg(n + 1));
            QProcess *sim = lan.start(
                ns, QStringLiteral(QEV_DEVSIM_PATH),
                {QStringLiteral("--device"), spec, QStringLiteral("--bind"),
                 QStringLiteral("0.0.0.0"), QStringLiteral("--interface"), QStringLiteral("eth0")},
                [&logPath](QProcess &process) {
                    process.setStandardOutputFile(logPath, QIODevice::Append);
                    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
                });
            if (!waitForReady(sim, logPath)) {
                std::fprintf(stderr, "qev-testlan-run: qev-devsim did not start for %s\n",
                             qPrintable(spec));
                return 1;
            }
            std::fprintf(stderr, "qev-testlan-run: device %lld (%s): log %s\n",
                         static_cast<long long>(n + 1), qPrintable(spec), qPrintable(logPath));
        }
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.setInputChannelMode(QProcess::ForwardedInputChannel);
        child.start(command.first(), command.mid(1));
        if (!child.waitForStarted(10000))
            return 127;
        g_child = sig_atomic_t(child.processId());
        child.waitForFinished(-1);
        g_child = 0;
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "qev-testlan-run: %s\n", e.what());
        return 1;
    }
}
