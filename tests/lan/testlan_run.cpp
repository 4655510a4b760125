// qev-testlan-run: builds the namespace test LAN with simulated devices and runs a command
// as the PC inside it, for trying the program by hand or taking screenshots without any
// packet reaching the machine's own network. Needs root.
//
//   qev-testlan-run [--pc CIDR] [--gateway CIDR] [--device SPEC]... -- COMMAND [ARGS...]
//
// Each SPEC is handed to one qev-devsim in a namespace of its own; its ip= (with the PC's
// prefix length) becomes the address of that namespace's interface.

#include "testlan.h"

#include <QCoreApplication>
#include <QProcess>
#include <cstdio>

namespace {

QString specValue(const QString &spec, const QString &key) {
    for (const QString &item : spec.split(QLatin1Char(','))) {
        if (item.startsWith(key + QLatin1Char('=')))
            return item.mid(key.size() + 1);
    }
    return {};
}

int usage() {
    std::fputs("usage: qev-testlan-run [--pc CIDR] [--gateway CIDR] [--device SPEC]... -- COMMAND "
               "[ARGS...]\n",
               stderr);
    return 2;
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
        else if (arg == QStringLiteral("--device"))
            devices << args[++i];
        else
            return usage();
    }
    if (command.isEmpty())
        return usage();

    try {
        qevtest::TestLan lan;
        lan.setupPc(pc, gateway);
        const QString prefix = pc.section(QLatin1Char('/'), 1);
        for (const QString &spec : std::as_const(devices)) {
            const QString ns =
                lan.addDevice(specValue(spec, QStringLiteral("ip")) + QLatin1Char('/') + prefix);
            QProcess *sim = lan.start(ns, QStringLiteral(QEV_DEVSIM_PATH),
                                      {QStringLiteral("--device"), spec, QStringLiteral("--bind"),
                                       QStringLiteral("0.0.0.0"), QStringLiteral("--interface"),
                                       QStringLiteral("eth0")});
            sim->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            if (!sim->waitForReadyRead(5000)) {
                std::fprintf(stderr, "qev-testlan-run: qev-devsim did not start for %s\n",
                             qPrintable(spec));
                return 1;
            }
        }
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.setInputChannelMode(QProcess::ForwardedInputChannel);
        child.start(command.first(), command.mid(1));
        if (!child.waitForStarted(10000))
            return 127;
        child.waitForFinished(-1);
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "qev-testlan-run: %s\n", e.what());
        return 1;
    }
}
