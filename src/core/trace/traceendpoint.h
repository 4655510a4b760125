#pragma once

#include "netinspect/ipv4.h"

#include <QtGlobal>

namespace qev {

// One end of a datagram or a connection: IPv4 address and port.
struct TraceEndpoint {
    IPv4Bytes address{};
    quint16 port = 0;

    bool operator==(const TraceEndpoint &) const = default;
};

} // namespace qev
