#include "devsimserver.h"

#include <QTimer>
#include <algorithm>
#include <map>

namespace qev::devsim {

namespace {

QString datagramLine(const char *direction, quint32 dstIp, quint16 dstPort, quint32 srcIp,
                     quint16 srcPort, const QByteArray &payload) {
    QString line = QStringLiteral("%1 %2:%3 from %4:%5")
                       .arg(QLatin1String(direction), FormatIPv4(dstIp))
                       .arg(dstPort)
                       .arg(FormatIPv4(srcIp))
                       .arg(srcPort);
    if (!payload.isEmpty())
        line += QLatin1Char(' ') + QString::fromLatin1(payload.toHex().toUpper());
    return line;
}

} // namespace

QString FormatRxLine(quint32 dstIp, quint16 dstPort, quint32 srcIp, quint16 srcPort,
                     const QByteArray &payload) {
    return datagramLine("rx", dstIp, dstPort, srcIp, srcPort, payload);
}

QString FormatTxLine(quint32 dstIp, quint16 dstPort, quint32 srcIp, quint16 srcPort,
                     const QByteArray &payload) {
    return datagramLine("tx", dstIp, dstPort, srcIp, srcPort, payload);
}

QString FormatProgrammedLine(const NetworkSettings &settings) {
    return QStringLiteral("programmed ip=%1 mask=%2 port=%3 mac=%4")
        .arg(FormatIPv4(settings.ip), FormatIPv4(settings.mask))
        .arg(settings.port)
        .arg(FormatMacText(settings.mac));
}

DevsimServer::DevsimServer(const DevsimOptions &options, const DeviceCodes &codes,
                           std::unique_ptr<InterfaceAddressing> addressing, LogSink log,
                           QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_addressing(std::move(addressing))
    , m_log(std::move(log)) {
    for (const DeviceConfig &config : options.devices) {
        Device device;
        device.sim = std::make_unique<SimDevice>(config, codes);
        device.listenIp = options.bindAddress.value_or(config.network.ip);
        device.listenPort = config.fault.kind == FaultKind::BaseOnly ? 0 : config.network.port;
        m_devices.push_back(std::move(device));
    }
}

DevsimServer::~DevsimServer() = default;

bool DevsimServer::start(QString *error) {
    for (std::size_t i = 0; i < m_devices.size(); ++i) {
        const DeviceConfig &c = m_devices[i].sim->config();
        m_log(QStringLiteral("device %1 class=%2 version=%3.%4 ip=%5 port=%6 name=%7")
                  .arg(i + 1)
                  .arg(c.deviceClass)
                  .arg(c.versionMajor)
                  .arg(c.versionMinor)
                  .arg(FormatIPv4(c.network.ip))
                  .arg(c.network.port)
                  .arg(c.name));
    }
    return reconcileListeners(error);
}

bool DevsimServer::reconcileListeners(QString *error) {
    // Every device listens on the base port and on its own port, at its listen address.
    bool complete = true;
    std::map<std::pair<quint32, quint16>, std::vector<std::size_t>> wanted;
    for (std::size_t i = 0; i < m_devices.size(); ++i) {
        const Device &d = m_devices[i];
        wanted[{d.listenIp, m_options.basePort}].push_back(i);
        if (d.listenPort != 0 && d.listenPort != m_options.basePort)
            wanted[{d.listenIp, d.listenPort}].push_back(i);
        if (m_options.gatherAddress && *m_options.gatherAddress != d.listenIp)
            wanted[{*m_options.gatherAddress, m_options.basePort}].push_back(i);
    }
    std::erase_if(m_listeners, [&](const std::unique_ptr<Listener> &l) {
        return !wanted.contains({l->ip, l->port});
    });
    for (auto &[key, devices] : wanted) {
        const auto address = key; // a lambda may not capture a structured binding in clang 14
        auto it = std::find_if(m_listeners.begin(), m_listeners.end(),
                               [&](const std::unique_ptr<Listener> &l) {
                                   return l->ip == address.first && l->port == address.second;
                               });
        if (it == m_listeners.end()) {
            auto listener = std::make_unique<Listener>();
            listener->ip = key.first;
            listener->port = key.second;
            listener->endpoint = CreateUdpEndpoint();
            QString reason;
            if (!listener->endpoint->open(key.first, key.second, &reason)) {
                *error = QStringLiteral("cannot listen on %1:%2: %3")
                             .arg(FormatIPv4(key.first))
                             .arg(key.second)
                             .arg(reason);
                complete = false;
                continue;
            }
            Listener *raw = listener.get();
            listener->notifier = std::make_unique<QSocketNotifier>(listener->endpoint->descriptor(),
                                                                   QSocketNotifier::Read);
            connect(listener->notifier.get(), &QSocketNotifier::activated, this,
                    [this, raw] { readPending(raw); });
            m_log(QStringLiteral("listen %1:%2").arg(FormatIPv4(key.first)).arg(key.second));
            it = m_listeners.insert(m_listeners.end(), std::move(listener));
        }
        (*it)->devices = devices;
    }
    return complete;
}

void DevsimServer::readPending(Listener *listener) {
    while (std::optional<ReceivedDatagram> datagram = listener->endpoint->receive())
        dispatch(listener, *datagram);
}

void DevsimServer::dispatch(Listener *listener, const ReceivedDatagram &datagram) {
    m_log(FormatRxLine(datagram.dstIp, listener->port, datagram.srcIp, datagram.srcPort,
                       datagram.payload));
    // Several devices may share a socket: a datagram to one device's address is that
    // device's; anything else (a broadcast, the bound address) reaches all of them.
    const bool addressed =
        std::any_of(listener->devices.begin(), listener->devices.end(), [&](std::size_t i) {
            return m_devices[i].sim->network().ip == datagram.dstIp;
        });
    for (const std::size_t i : listener->devices) {
        Device &device = m_devices[i];
        if (addressed && device.sim->network().ip != datagram.dstIp)
            continue;
        const Response response =
            device.sim->handle(datagram.payload, listener->port == m_options.basePort);
        if (response.programmed)
            takeSettings(device, *response.programmed);
        if (response.reply.isEmpty())
            continue;
        if (response.delayMs > 0) {
            // The notifier dies with the listener, and with it a reply still waiting.
            QTimer::singleShot(response.delayMs, listener->notifier.get(),
                               [this, listener, datagram, reply = response.reply] {
                                   sendReply(listener, datagram, reply);
                               });
        } else {
            sendReply(listener, datagram, response.reply);
        }
    }
}

void DevsimServer::sendReply(Listener *listener, const ReceivedDatagram &request,
                             const QByteArray &reply) {
    QString reason;
    if (!listener->endpoint->send(reply, request.srcIp, request.srcPort, request.localIp,
                                  &reason)) {
        m_log(QStringLiteral("error %1").arg(reason));
        return;
    }
    const quint32 from = listener->ip != 0 ? listener->ip : request.localIp;
    m_log(FormatTxLine(request.srcIp, request.srcPort, from, listener->port, reply));
}

void DevsimServer::takeSettings(Device &device, const NetworkSettings &settings) {
    if (!m_addressing) {
        m_log(FormatProgrammedLine(settings));
        return;
    }
    QString reason;
    if (!m_addressing->replaceIPv4(m_options.interfaceName, settings.ip, settings.mask, &reason)) {
        m_log(QStringLiteral("error %1: %2").arg(m_options.interfaceName, reason));
        return;
    }
    if (!m_options.bindAddress)
        device.listenIp = settings.ip;
    if (device.sim->config().fault.kind != FaultKind::BaseOnly)
        device.listenPort = settings.port;
    // The socket that brought the datagram may be among those to close: move them once
    // this event is over.
    QTimer::singleShot(0, this, [this, settings] {
        QString error;
        if (!reconcileListeners(&error))
            m_log(QStringLiteral("error %1").arg(error));
        m_log(FormatProgrammedLine(settings));
    });
}

} // namespace qev::devsim
