#pragma once

// One emulated device: what it is (class, version, serial number), what it reports
// (network settings) and how it answers a request. No sockets here: a request goes in as
// bytes, the reply and any change of the network settings come out, so that tests can
// drive the protocol directly.

#include "app/devicecodes.h"
#include "netinspect/ipv4.h"
#include "simbooster.h"
#include "simfirmware.h"
#include "simpagefault.h"
#include "simreport.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDeadlineTimer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace qev::devsim {

enum class FaultKind {
    None,
    Silent,        // receives (and logs) but never answers nor changes anything
    DiscoveryOnly, // answers the discovery and nothing else, not even the identification
    BaseOnly,      // listens on the base port only (decided by the server, not here)
    Slow,          // every reply leaves after a delay
    Garbage,       // every reply byte inverted: same length, nothing a reader accepts as such
    Overlong,      // every reply padded to a fixed total length
};

struct Fault {
    FaultKind kind = FaultKind::None;
    int value = 0; // Slow: delay in ms; Overlong: total reply length in bytes

    static constexpr int DefaultOverlongLength = 9000; // beyond every receive buffer
};

struct NetworkSettings {
    quint32 ip = 0; // host byte order
    quint32 mask = 0;
    MacBytes mac{};
    quint16 port = 0;
    quint32 gateway = 0;
    quint32 broker = 0;

    bool operator==(const NetworkSettings &) const = default;
};

struct DeviceConfig {
    quint8 deviceClass = 17;
    quint8 versionMajor = 7;
    quint8 versionMinor = 4;
    NetworkSettings network;
    QByteArray serial; // wire order; empty: the MAC bytes at start stand in
    QString name;
    bool answersExtended = true; // answers the two-byte identification 0x60 0x0F
    Fault fault;
    FirmwareConfig firmware;
    PageFault pageFault;       // the settings commands of the class page
    BoosterBusConfig boosters; // classes 3 and 27
    ReportConfig report;
};

struct Response {
    QByteArray reply; // empty: no answer
    int delayMs = 0;
    std::optional<NetworkSettings> programmed; // the settings the device took
};

class SimDevice {
public:
    // A handler sees the whole request (its prefix already matched) and fills the response.
    using Handler = std::function<void(QByteArrayView request, Response &response)>;

    SimDevice(DeviceConfig config, DeviceCodes codes);

    // The request as received, bounded by its size. Unknown requests get no answer.
    // atBasePort: it arrived on the base port (some commands are answered there only).
    Response handle(QByteArrayView request, bool atBasePort = true);

    // Registers a command; the longest matching prefix wins. Feature modules add theirs.
    void addCommand(QByteArray prefix, Handler handler);
    // A command the device answers only when it arrives on the base port.
    void addBasePortCommand(QByteArray prefix, Handler handler);

    const DeviceConfig &config() const { return m_config; }
    const NetworkSettings &network() const { return m_config.network; }
    // The name written by the program (the light controllers' name write).
    void setName(const QString &name) { m_config.name = name; }
    const SimFirmware &firmware() const { return *m_firmware; }

    // The device restarts: it answers nothing for ms milliseconds, for good when ms < 0.
    void restartFor(int ms);

private:
    struct Command {
        QByteArray prefix;
        Handler handler;
        bool basePortOnly = false;
    };

    void installCoreCommands();
    // The settings commands of the class's page: speed meter, S88 bus master, manager,
    // light controllers.
    void installPageCommands();
    QByteArray discoveryReply() const;
    void applyFault(Response &response) const;

    DeviceConfig m_config;
    DeviceCodes m_codes;
    std::vector<Command> m_commands;
    std::shared_ptr<SimFirmware> m_firmware;
    QDeadlineTimer m_restartEnds;
};

// Serial-number lengths a device of the class can report; empty for classes that have no
// serial-number request.
std::vector<int> SerialLengthsOfClass(quint8 deviceClass, quint8 versionMajor);

// The access code a device of this class expects behind 0xF0.
QByteArray AccessCodeOfClass(quint8 deviceClass, const DeviceCodes &codes);

// Reads the network-settings datagram; nothing unless it has exactly its length and one of
// its two headers.
std::optional<NetworkSettings> ReadNetworkSettings(QByteArrayView request);

} // namespace qev::devsim
