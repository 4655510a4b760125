#pragma once

// Puts the emulated devices on the network: one socket per bound address and port,
// shared by the devices that listen there, every received datagram logged and handed to
// the devices it is meant for, replies sent back from the socket that received the
// request.

#include "devsimoptions.h"
#include "simdevice.h"
#include "simnet.h"

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <vector>

namespace qev::devsim {

// "rx <dstIp>:<dstPort> from <srcIp>:<srcPort> <HEX>" (the hex part is left out for an
// empty payload); "tx ..." likewise for a reply.
QString FormatRxLine(quint32 dstIp, quint16 dstPort, quint32 srcIp, quint16 srcPort,
                     const QByteArray &payload);
QString FormatTxLine(quint32 dstIp, quint16 dstPort, quint32 srcIp, quint16 srcPort,
                     const QByteArray &payload);
// "programmed ip=<ip> mask=<mask> port=<port> mac=<MAC>"
QString FormatProgrammedLine(const NetworkSettings &settings);

class DevsimServer : public QObject {
    Q_OBJECT
public:
    using LogSink = std::function<void(const QString &line)>;

    // addressing may be null when no interface was named.
    DevsimServer(const DevsimOptions &options, const DeviceCodes &codes,
                 std::unique_ptr<InterfaceAddressing> addressing, LogSink log,
                 QObject *parent = nullptr);
    ~DevsimServer() override;

    // Binds every socket; false (with the reason) when one cannot be bound.
    bool start(QString *error);

private:
    struct Device {
        std::unique_ptr<SimDevice> sim;
        quint32 listenIp = 0;
        quint16 listenPort = 0; // own port; 0 or the base port: base port only
    };
    struct Listener {
        quint32 ip = 0;
        quint16 port = 0;
        std::unique_ptr<UdpEndpoint> endpoint;
        std::unique_ptr<QSocketNotifier> notifier;
        std::vector<std::size_t> devices;
    };

    bool reconcileListeners(QString *error);
    void readPending(Listener *listener);
    void dispatch(Listener *listener, const ReceivedDatagram &datagram);
    void sendReply(Listener *listener, const ReceivedDatagram &request, const QByteArray &reply);
    void takeSettings(Device &device, const NetworkSettings &settings);

    DevsimOptions m_options;
    std::unique_ptr<InterfaceAddressing> m_addressing;
    LogSink m_log;
    std::vector<Device> m_devices;
    std::vector<std::unique_ptr<Listener>> m_listeners;
};

} // namespace qev::devsim
