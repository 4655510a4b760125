#include "tcpstation.h"

#include "devsimoptions.h"
#include "netinspect/foreignsystems.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace qev::devsim {

namespace {

// A peer that sends no complete frame must not make the station hoard its bytes.
constexpr qsizetype MaxPendingBytes = 4096;

QString hexText(const QByteArray &bytes) {
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QString peerText(const QTcpSocket *socket) {
    return QStringLiteral("%1:%2")
        .arg(QHostAddress(socket->peerAddress().toIPv4Address()).toString())
        .arg(socket->peerPort());
}

} // namespace

std::optional<LenzStationConfig> ParseLenzSpec(const QString &spec, QString *error) {
    LenzStationConfig config;
    const auto fail = [&](const QString &what) {
        *error = QStringLiteral("--lenz %1: %2").arg(spec, what);
        return std::nullopt;
    };
    for (const QString &item : spec.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype eq = item.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return fail(QStringLiteral("'%1' is not key=value").arg(item));
        const QString key = item.left(eq).trimmed();
        const QString value = item.mid(eq + 1).trimmed();
        const auto bad = [&] {
            return fail(QStringLiteral("bad %1 '%2'").arg(key, value));
        };
        if (key == QLatin1String("answer")) {
            if (value == QLatin1String("both"))
                config.answers = LenzAnswers::Both;
            else if (value == QLatin1String("first"))
                config.answers = LenzAnswers::FirstOnly;
            else if (value == QLatin1String("none"))
                config.answers = LenzAnswers::None;
            else
                return bad();
        } else if (key == QLatin1String("version")) {
            // Two BCD digits.
            if (value.size() != 3 || !value[0].isDigit() || value[1] != QLatin1Char('.') ||
                !value[2].isDigit() || value[0].unicode() > '9' || value[2].unicode() > '9')
                return bad();
            config.versionBcd =
                quint8((value[0].unicode() - '0') << 4 | (value[2].unicode() - '0'));
        } else if (key == QLatin1String("ip")) {
            const std::optional<quint32> ip = ParseIPv4(value);
            if (!ip)
                return bad();
            config.ip = *ip;
        } else if (key == QLatin1String("port")) {
            bool ok = false;
            const uint port = value.toUInt(&ok);
            if (!ok || port == 0 || port > 65535)
                return bad();
            config.port = quint16(port);
        } else {
            return fail(QStringLiteral("unknown key '%1'").arg(key));
        }
    }
    return config;
}

QByteArray LenzStationReply(const LenzStationConfig &config, const QByteArray &message) {
    if (message == QByteArray("\xF1\x03", 2) && config.answers != LenzAnswers::None)
        return LenzFrame(QByteArray("\xF2\x03\x01", 3));
    if (message == QByteArray("\x21\x21", 2) && config.answers == LenzAnswers::Both)
        return LenzFrame(QByteArray("\x63\x21", 2) + char(config.versionBcd) + '\0');
    return {};
}

LenzStation::LenzStation(const LenzStationConfig &config, LogSink log, QObject *parent)
    : QObject(parent)
    , m_config(config)
    , m_log(std::move(log)) {
    connect(&m_server, &QTcpServer::newConnection, this, [this] { accept(); });
}

bool LenzStation::start(QString *error) {
    if (!m_server.listen(QHostAddress(m_config.ip), m_config.port)) {
        *error = QStringLiteral("lenz station %1:%2: %3")
                     .arg(FormatIPv4(m_config.ip))
                     .arg(m_config.port)
                     .arg(m_server.errorString());
        return false;
    }
    m_log(QStringLiteral("lenz listen %1:%2").arg(FormatIPv4(m_config.ip)).arg(m_config.port));
    return true;
}

void LenzStation::accept() {
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        m_streams.insert(socket, {});
        m_log(QStringLiteral("lenz connect %1").arg(peerText(socket)));
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_streams.remove(socket);
            socket->deleteLater();
        });
    }
}

void LenzStation::readFrom(QTcpSocket *socket) {
    const QByteArray bytes = socket->readAll();
    m_log(QStringLiteral("lenz rx %1 %2").arg(peerText(socket), hexText(bytes)));
    QByteArray &stream = m_streams[socket];
    stream += bytes;
    while (const std::optional<QByteArray> message = TakeLenzMessage(stream)) {
        const QByteArray reply = LenzStationReply(m_config, *message);
        if (reply.isEmpty())
            continue;
        socket->write(reply);
        m_log(QStringLiteral("lenz tx %1 %2").arg(peerText(socket), hexText(reply)));
    }
    if (stream.size() > MaxPendingBytes)
        stream.clear();
}

} // namespace qev::devsim
