#pragma once

// A datagram socket that records into a trace what passes through the socket it wraps.

#include "devicelink/udpsocket.h"
#include "trace/datagramtrace.h"

#include <memory>

namespace qev {

std::unique_ptr<UdpSocket> TracedUdpSocket(std::unique_ptr<UdpSocket> socket, DatagramTrace &trace);

} // namespace qev
