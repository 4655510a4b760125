#pragma once

// Another maker's command station on the LAN: a Lenz LAN interface on TCP that answers
// the two requests with which qev-programmer looks for such stations (F1 03 and 21 21),
// only the first, or none.

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <functional>
#include <optional>

class QTcpSocket;

namespace qev::devsim {

enum class LenzAnswers { Both, FirstOnly, None };

struct LenzStationConfig {
    quint32 ip = 0x7F000001; // address to listen on
    quint16 port = 5550;
    quint8 versionBcd = 0x36; // reported as 3.6
    LenzAnswers answers = LenzAnswers::Both;
};

// One --lenz SPEC ("answer=both|first|none,version=M.N,ip=A.B.C.D,port=N").
std::optional<LenzStationConfig> ParseLenzSpec(const QString &spec, QString *error);

// The reply to one complete message of the station's stream; empty for no reply.
QByteArray LenzStationReply(const LenzStationConfig &config, const QByteArray &message);

class LenzStation : public QObject {
public:
    using LogSink = std::function<void(const QString &line)>;

    LenzStation(const LenzStationConfig &config, LogSink log, QObject *parent = nullptr);

    // Listens; false with the reason when the port cannot be bound.
    bool start(QString *error);

private:
    void accept();
    void readFrom(QTcpSocket *socket);

    LenzStationConfig m_config;
    LogSink m_log;
    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_streams;
};

} // namespace qev::devsim
