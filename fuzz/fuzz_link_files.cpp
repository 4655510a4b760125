// The readers of the files in which DHCP clients and systemd-resolved keep a link's servers,
// and of resolv.conf: whatever such a file holds, cut off anywhere.

#include "netinspect/linkservers.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)qev::EnvFileValue(content, "SERVER_ADDRESS");
    (void)qev::ServerAddresses(qev::EnvFileValue(content, "SERVERS"));
    (void)qev::ServerAddresses(QString::fromUtf8(content));
    (void)qev::DhclientLeaseServer(content, QStringLiteral("eth0"));
    (void)qev::ResolvConfNameservers(content);
    return 0;
}
