#include "devicelink/discovery.h"

#include "devicelink/devicelink.h"
#include "devicelink/linkerror.h"
#include "netinspect/ipv4.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <array>
#include <list>
#include <vector>

namespace qev {

namespace {

constexpr std::size_t RequestBufferSize = 10;
constexpr std::size_t ReplyBufferSize = 8196;
constexpr int CollectSliceMs = 500;
constexpr int IdentifyTimeoutMs = 3000;
constexpr std::size_t MaxIdentifiedAtOnce = 16;
constexpr int MaxDiscarded = 64;

using RequestBuffer = std::array<quint8, RequestBufferSize>;

std::span<const quint8> discoveryRequest(RequestBuffer &buffer) {
    buffer.fill(0);
    buffer[0] = proto::Discover;
    return std::span<const quint8>(buffer).first(1);
}

// Throws away what is queued on the client, so that only what arrives after the next
// request can answer it. A pending report of a closed port goes with it.
void discardQueued(UdpSocket &client) {
    std::array<quint8, 64> scratch;
    for (int i = 0; i < MaxDiscarded; ++i) {
        try {
            if (client.receive(scratch, 0) == 0)
                return;
        } catch (const LinkError &) {
        }
    }
}

// The identification of one found device on a client of its own: the short form on the
// device's port, the same on the base port when that port is closed, and the extended form
// on the base port after a reply shorter than four bytes, each awaited 3000 ms. Driven by
// poll() without blocking, so that many devices are asked at once.
class PendingIdentification {
public:
    PendingIdentification(DeviceRecord &record, const ProtocolPorts &ports,
                          const SocketFactory &openSocket)
        : m_record(record)
        , m_ports(ports)
        , m_client(openSocket(true))
        , m_reply(ReplyBufferSize) {
        // Nothing can be sent to port 0; a device that reports it still listens on the
        // base port.
        send(Step::Short, record.port != 0 ? record.port : ports.base);
    }

    // Takes what has arrived; true once the class is known. Raises LinkError where the
    // one-device-after-another search raised it: a send that fails, and a closed base port
    // for the extended form.
    bool poll() {
        std::size_t count = 0;
        try {
            count = m_client->receive(m_reply, 0);
        } catch (const LinkError &) {
            if (m_step == Step::Extended)
                throw;
            // The device does not listen on its port; every device listens on the base port.
            if (m_step == Step::Short) {
                send(Step::ShortOnBase, m_ports.base);
                return false;
            }
            return shortReplied(0);
        }
        if (count == 0 && !m_deadline.hasExpired())
            return false;
        const auto reply = std::span<const quint8>(m_reply).first(count);
        if (m_step != Step::Extended)
            return shortReplied(count);
        const IdentifyReply identified = ReadIdentifyReply(IdentifyForm::Extended, reply);
        m_record.deviceClass = identified.accepted ? identified.deviceClass : 0;
        return true;
    }

private:
    enum class Step { Short, ShortOnBase, Extended };

    void send(Step step, quint16 port) {
        m_step = step;
        RequestBuffer request{};
        const std::size_t length = BuildIdentifyRequest(
            step == Step::Extended ? IdentifyForm::Extended : IdentifyForm::Short, request);
        discardQueued(*m_client);
        m_client->sendTo(m_record.address, port, std::span<const quint8>(request).first(length));
        m_deadline.setRemainingTime(IdentifyTimeoutMs);
    }

    bool shortReplied(std::size_t count) {
        const IdentifyReply identified =
            ReadIdentifyReply(IdentifyForm::Short, std::span<const quint8>(m_reply).first(count));
        if (identified.accepted) {
            m_record.deviceClass = identified.deviceClass;
            return true;
        }
        // A reply of exactly four bytes is a device that has no extended form.
        if (count >= 4) {
            m_record.deviceClass = 0;
            return true;
        }
        send(Step::Extended, m_ports.base);
        return false;
    }

    DeviceRecord &m_record;
    const ProtocolPorts &m_ports;
    std::unique_ptr<UdpSocket> m_client;
    std::vector<quint8> m_reply;
    Step m_step = Step::Short;
    QDeadlineTimer m_deadline;
};

} // namespace

bool IsNetworkUsable() {
    return IsNetworkPresent() && IsWinsockUsable();
}

bool DiscoverDevices(QList<DeviceRecord> &list, int timeoutMs, const QString &broadcastAddress,
                     const ProtocolPorts &ports, const EventPump &pump,
                     const SocketFactory &openSocket) {
    list.clear();
    if (!IsNetworkUsable())
        return false;

    {
        // The collection's client is closed before the identification opens its own.
        const auto client = openSocket(true);
        RequestBuffer request;
        client->sendTo(broadcastAddress, ports.base, discoveryRequest(request));

        std::vector<quint8> reply(ReplyBufferSize);
        QElapsedTimer clock;
        clock.start();
        for (qint64 elapsed = 0; elapsed <= timeoutMs; elapsed = clock.elapsed()) {
            const int slice =
                static_cast<int>(qMin<qint64>(CollectSliceMs, timeoutMs - elapsed + 1));
            const std::size_t count = client->receive(reply, slice);
            if (const std::optional<DeviceRecord> record =
                    ReadDiscoveryReply(std::span<const quint8>(reply).first(count))) {
                list.append(*record);
            }
            if (pump)
                pump();
        }
    }
    IdentifyFoundDevices(list, ports, pump, openSocket);
    return !list.isEmpty();
}

void IdentifyFoundDevices(QList<DeviceRecord> &list, const ProtocolPorts &ports,
                          const EventPump &pump, const SocketFactory &openSocket) {
    // Each device keeps its own requests, ports and time-outs; only the devices wait side
    // by side, so a silent one costs its own time-outs once instead of adding them to
    // everyone's.
    std::list<PendingIdentification> asking;
    auto next = list.begin();
    while (next != list.end() || !asking.empty()) {
        while (next != list.end() && asking.size() < MaxIdentifiedAtOnce)
            asking.emplace_back(*next++, ports, openSocket);
        asking.remove_if([](PendingIdentification &device) { return device.poll(); });
        if (asking.empty())
            continue;
        YieldSlice();
        if (pump)
            pump();
    }
}

bool ProbeDevice(const QString &address, int timeoutMs, const ProtocolPorts &ports,
                 const EventPump &pump, const SocketFactory &openSocket) {
    if (!IsNetworkUsable() || !IsInLocalClassNet(address))
        return false;
    try {
        const auto client = openSocket(true);
        RequestBuffer request;
        client->sendTo(address, ports.base, discoveryRequest(request));
        YieldSlice();
        if (pump)
            pump();
        std::vector<quint8> reply(ReplyBufferSize);
        const std::size_t count = client->receive(reply, timeoutMs);
        return count >= 1 && reply[0] == proto::Ack;
    } catch (const LinkError &) {
        return false;
    }
}

} // namespace qev
