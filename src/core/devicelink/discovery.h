#pragma once

// Finding the devices on the local network by broadcast, and the one-datagram probe of a
// single device. Both use a client of their own, closed when they return.

#include "devicelink/eventpump.h"
#include "devicelink/protocol.h"
#include "devicelink/replies.h"
#include "devicelink/udpsocket.h"

#include <QList>
#include <QString>

namespace qev {

// The PC has a network and a usable socket layer.
bool IsNetworkUsable();

// Broadcasts the discovery request to broadcastAddress on the base port, collects the
// replies for timeoutMs in arrival order (duplicates included) and asks each device for
// its class (IdentifyFoundDevices). True when the list is not empty. Without a usable network the
// list is emptied and nothing is sent. Raises LinkError when a send fails or a receive reports a
// closed port. The search's clients come from openSocket.
bool DiscoverDevices(QList<DeviceRecord> &list, int timeoutMs, const QString &broadcastAddress,
                     const ProtocolPorts &ports, const EventPump &pump,
                     const SocketFactory &openSocket = openUdpSocket);

// Asks every device of list for its class, each on a client of its own and up to 16 at
// once, while the pump keeps the window going. The list keeps its order. Raises LinkError
// when a send fails or the base port of a device that needs the extended form is closed.
void IdentifyFoundDevices(QList<DeviceRecord> &list, const ProtocolPorts &ports,
                          const EventPump &pump, const SocketFactory &openSocket = openUdpSocket);

// Asks one device in the PC's classful network with the discovery request on the base
// port. True when a reply led by 21 came within timeoutMs. Never raises.
bool ProbeDevice(const QString &address, int timeoutMs, const ProtocolPorts &ports,
                 const EventPump &pump, const SocketFactory &openSocket = openUdpSocket);

} // namespace qev
