// Installs a 255-block image into qev-devsim over loopback and compares the write and
// compare phases with a minimal request/reply client that makes the same 510 exchanges
// with the same datagram sizes against the same simulator, in the same run.

#include "app/devicecodes.h"
#include "app/messageid.h"
#include "devicelink/devicelink.h"
#include "devsimrunner.h"
#include "fakehostnetwork.h"
#include "firmware/firmwareinstall.h"
#include "imagemaker.h"
#include "trace/datagramtrace.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Rounds = 9;
constexpr int Blocks = 255;
constexpr quint8 DeviceClass = 17;
const char *const DeviceIp = "127.0.0.2";

// The least a client can do: one blocking socket, send, wait for the reply.
class MinimalClient {
public:
    MinimalClient(quint16 port) {
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        m_to.sin_family = AF_INET;
        m_to.sin_port = htons(port);
        ::inet_pton(AF_INET, DeviceIp, &m_to.sin_addr);
    }
    ~MinimalClient() { ::close(m_fd); }

    std::size_t exchange(const quint8 *request, std::size_t size) {
        ::sendto(m_fd, request, size, 0, reinterpret_cast<const sockaddr *>(&m_to), sizeof m_to);
        pollfd entry{m_fd, POLLIN, 0};
        if (::poll(&entry, 1, 5000) <= 0)
            return 0;
        const ssize_t got = ::recv(m_fd, m_reply.data(), m_reply.size(), 0);
        return got > 0 ? std::size_t(got) : 0;
    }

private:
    int m_fd = -1;
    sockaddr_in m_to{};
    std::vector<quint8> m_reply = std::vector<quint8>(2048);
};

// Returns the time of the 510 exchanges in ms, or a negative value when one failed.
double baselineRound(quint16 basePort, const QByteArray &payload) {
    MinimalClient client(basePort);
    const QByteArray code = qev::DeviceCodes::placeholders().accessCodeLong;
    std::vector<quint8> request(1 + code.size());
    request[0] = 0xF0;
    std::copy(code.begin(), code.end(), request.begin() + 1);
    if (client.exchange(request.data(), request.size()) != 2)
        return -1;
    QElapsedTimer clock;
    clock.start();
    std::vector<quint8> write(514);
    for (int k = 1; k <= Blocks; ++k) {
        write[0] = 0xF3;
        write[1] = quint8(k);
        std::copy_n(payload.constData() + (k - 1) * 512, 512, write.begin() + 2);
        if (client.exchange(write.data(), write.size()) != 2)
            return -1;
    }
    for (int k = 1; k <= Blocks; ++k) {
        const quint8 read[2] = {0xF2, quint8(k)};
        if (client.exchange(read, 2) != 515)
            return -1;
    }
    return double(clock.nsecsElapsed()) / 1e6;
}

// Returns the time from the start of the write phase to the start of the activation.
double installRound(quint16 basePort, const QString &imagePath) {
    qev::ProtocolPorts ports;
    ports.base = basePort;
    const qev::EventPump pump = [] {
        QCoreApplication::processEvents();
    };
    qev::DeviceLink link(ports, qev::DeviceCodes::placeholders(), pump);
    {
        qev::CurrentDevice current = link.current();
        current.host = QString::fromLatin1(DeviceIp);
        current.deviceClass = DeviceClass;
        link.setCurrent(current);
    }
    qev::FirmwareInstaller installer(link, qev::DeviceCodes::placeholders().activationCode);
    QElapsedTimer clock;
    double ms = -1;
    qev::InstallObserver observer;
    observer.pump = pump;
    observer.phase = [&](int id) {
        if (id == qev::IDS_119)
            clock.start();
        else if (id == qev::IDS_121)
            ms = double(clock.nsecsElapsed()) / 1e6;
    };
    const qev::InstallResult result = installer.install(imagePath, observer);
    return result.outcome == qev::InstallOutcome::Finished ? ms : -1;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    qevtest::FakeHostNetwork host;
    host.setLocalIP(QStringLiteral("127.0.0.1"));
    host.setAnswering({QString::fromLatin1(DeviceIp)});

    const quint16 base = qevtest::FreeUdpPort(QHostAddress::AnyIPv4);
    qevtest::DevsimRunner sim;
    if (!dir.isValid() ||
        !sim.start({QStringLiteral("--base-port"), QString::number(base),
                    QStringLiteral("--settings"), dir.filePath(QStringLiteral("codes.ini")),
                    QStringLiteral("--log"), dir.filePath(QStringLiteral("devsim.log")),
                    QStringLiteral("--device"),
                    QStringLiteral("class=%1,ip=%2,restart=0")
                        .arg(DeviceClass)
                        .arg(QLatin1String(DeviceIp))})) {
        std::fprintf(stderr, "bench_firmware: qev-devsim did not start: %s\n",
                     qPrintable(sim.diagnostics()));
        return 1;
    }

    qev::imagemaker::ImageSpec spec;
    spec.classTag = DeviceClass;
    spec.blocks = Blocks;
    const QString imagePath = dir.filePath(QStringLiteral("bench.snFirm"));
    QString error;
    if (!qev::imagemaker::WriteImageFile(imagePath, spec, &error)) {
        std::fprintf(stderr, "bench_firmware: %s\n", qPrintable(error));
        return 1;
    }
    const QByteArray payload = qev::imagemaker::ImagePayload(spec);

    std::vector<double> installs;
    std::vector<double> tracedInstalls;
    std::vector<double> baselines;
    // The program keeps a trace of every datagram; it must cost nothing measurable.
    qev::DatagramTrace trace;
    // Alternate, so that all see the same state of the machine.
    for (int round = 0; round < Rounds; ++round) {
        // Every other round the traced installation goes first, so that neither gains from
        // its place in the round.
        const auto traced = [&] {
            qev::InstallDatagramTrace(&trace);
            const double ms = installRound(base, imagePath);
            qev::InstallDatagramTrace(nullptr);
            return ms;
        };
        const double firstTracedMs = round % 2 == 1 ? traced() : 0;
        const double installMs = installRound(base, imagePath);
        const double tracedMs = round % 2 == 1 ? firstTracedMs : traced();
        const double baselineMs = baselineRound(base, payload);
        if (installMs < 0 || tracedMs < 0 || baselineMs < 0) {
            std::fprintf(stderr, "bench_firmware: round %d failed\n", round + 1);
            return 1;
        }
        installs.push_back(installMs);
        tracedInstalls.push_back(tracedMs);
        baselines.push_back(baselineMs);
    }
    const double installMs = median(installs);
    const double baselineMs = median(baselines);
    std::printf("firmware installation, %d blocks into qev-devsim over loopback, median of %d "
                "rounds\n",
                Blocks, Rounds);
    std::printf("  write + compare phases:          %8.2f ms\n", installMs);
    std::printf("  minimal client, %d exchanges:   %8.2f ms\n", 2 * Blocks, baselineMs);
    std::printf("  ratio:                           %8.2f (target <= 1.30)\n",
                installMs / baselineMs);
    const double tracedMs = median(tracedInstalls);
    std::printf("  with the datagram trace on:      %8.2f ms, ratio %.2f\n", tracedMs,
                tracedMs / baselineMs);
    // The fastest rounds show the cost of each client with the least disturbance from the
    // rest of the machine.
    std::printf("  ratio of the fastest rounds:     %8.2f\n",
                *std::min_element(installs.begin(), installs.end()) /
                    *std::min_element(baselines.begin(), baselines.end()));
    std::printf("  the same with the trace on:      %8.2f\n",
                *std::min_element(tracedInstalls.begin(), tracedInstalls.end()) /
                    *std::min_element(baselines.begin(), baselines.end()));
    return 0;
}
