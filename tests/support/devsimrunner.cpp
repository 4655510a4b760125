#include "devsimrunner.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QUdpSocket>

namespace qevtest {

namespace {

bool parseEndpoint(const QString &text, QString &ip, quint16 &port) {
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    bool ok = false;
    const uint value = text.mid(colon + 1).toUInt(&ok);
    if (!ok || value > 65535 || QHostAddress(text.left(colon)).isNull())
        return false;
    ip = text.left(colon);
    port = quint16(value);
    return true;
}

} // namespace

std::optional<DevsimRx> ParseDevsimRxLine(const QString &line) {
    const QStringList f = line.split(QLatin1Char(' '));
    if ((f.size() != 4 && f.size() != 5) || f[0] != QLatin1String("rx") ||
        f[2] != QLatin1String("from"))
        return std::nullopt;
    DevsimRx rx;
    if (!parseEndpoint(f[1], rx.dstIp, rx.dstPort) || !parseEndpoint(f[3], rx.srcIp, rx.srcPort))
        return std::nullopt;
    if (f.size() == 5) {
        const QByteArray hex = f[4].toLatin1();
        rx.payload = QByteArray::fromHex(hex);
        if (hex.isEmpty() || rx.payload.toHex().toUpper() != hex)
            return std::nullopt;
    }
    return rx;
}

quint16 FreeUdpPort(const QHostAddress &address) {
    QUdpSocket probe;
    if (!probe.bind(address, 0))
        return 0;
    return probe.localPort();
}

DevsimRunner::DevsimRunner() = default;

DevsimRunner::~DevsimRunner() {
    stop();
}

bool DevsimRunner::start(const QStringList &arguments, int timeoutMs) {
    m_owned = std::make_unique<QProcess>();
    m_owned->start(QStringLiteral(QEV_DEVSIM_PATH), arguments);
    return attach(m_owned.get(), timeoutMs);
}

bool DevsimRunner::attach(QProcess *process, int timeoutMs) {
    m_process = process;
    m_pending.clear();
    m_all.clear();
    m_stderr.clear();
    return waitForLine(QStringLiteral("ready"), timeoutMs);
}

void DevsimRunner::readAvailable() {
    if (!m_process)
        return;
    m_pending += m_process->readAllStandardOutput();
    m_stderr += QString::fromUtf8(m_process->readAllStandardError());
    qsizetype newline;
    while ((newline = m_pending.indexOf('\n')) >= 0) {
        m_all << QString::fromUtf8(m_pending.left(newline));
        m_pending.remove(0, newline + 1);
    }
}

void DevsimRunner::settle(int ms) {
    if (!m_process)
        return;
    // QProcess fills its buffer only when asked to wait: lines already in the pipe (the
    // simulator logs a datagram before it answers it) are fetched even without a wait.
    while (m_process->state() != QProcess::NotRunning && m_process->waitForReadyRead(0)) {
    }
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired() && m_process->state() != QProcess::NotRunning)
        m_process->waitForReadyRead(int(deadline.remainingTime()));
    readAvailable();
}

bool DevsimRunner::waitForLine(const QString &prefix, int timeoutMs) {
    if (!m_process)
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        readAvailable();
        for (const QString &line : std::as_const(m_all)) {
            if (line.startsWith(prefix))
                return true;
        }
        if (deadline.hasExpired() || m_process->state() == QProcess::NotRunning)
            return false;
        m_process->waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
}

QList<DevsimRx> DevsimRunner::rx(int settleMs) {
    settle(settleMs);
    QList<DevsimRx> out;
    for (const QString &line : std::as_const(m_all)) {
        if (const std::optional<DevsimRx> parsed = ParseDevsimRxLine(line))
            out << *parsed;
    }
    return out;
}

QStringList DevsimRunner::lines(int settleMs) {
    settle(settleMs);
    QStringList out;
    for (const QString &line : std::as_const(m_all)) {
        if (!line.startsWith(QLatin1String("rx ")))
            out << line;
    }
    return out;
}

QString DevsimRunner::diagnostics() {
    readAvailable();
    if (!m_process)
        return QStringLiteral("qev-devsim not started");
    QString text = QStringLiteral("qev-devsim state %1, exit code %2, error %3")
                       .arg(int(m_process->state()))
                       .arg(m_process->exitCode())
                       .arg(m_process->errorString());
    if (!m_stderr.isEmpty())
        text += QStringLiteral("; stderr: ") + m_stderr.trimmed();
    return text;
}

void DevsimRunner::stop() {
    if (m_owned && m_owned->state() != QProcess::NotRunning) {
        m_owned->kill();
        m_owned->waitForFinished(5000);
    }
}

} // namespace qevtest
