#pragma once

// Constants of the Spurnova UDP device protocol, shared by the program and qev-devsim.

#include <QtGlobal>
#include <array>
#include <cstddef>

namespace qev {

// The protocol's ports. Tests that run side by side move them; the program never does.
struct ProtocolPorts {
    quint16 base = 11080;    // discovery, fall-back, access code, light controllers, firmware
    quint16 lowest = 11081;  // lowest port a device may be given (other than Ferrano/Lucento)
    quint16 assumed = 11082; // used for identification when discovery reported port 0
};

namespace proto {

inline constexpr std::size_t CommandBufferSize = 2048;

inline constexpr quint8 Ack = 0x21; // '!' leads every acknowledging reply

inline constexpr quint8 Discover = 0xF5;
inline constexpr quint8 Identify = 0x0F;
inline constexpr quint8 Serial = 0x0D;
inline constexpr quint8 AccessCode = 0xF0;
inline constexpr quint8 Activate = 0xF6;

// Family prefixes in byte 0, the command code follows in byte 1.
inline constexpr quint8 PrefixBoosterGateway = 0x5C; // classes 16 and 27
inline constexpr quint8 PrefixExtended = 0x60;       // light masters 22-24, extended identification
inline constexpr quint8 PrefixBooster = 0x90;

// The network-settings datagram: a three-byte header, then address, mask, MAC, port,
// gateway and broker.
inline constexpr std::size_t NetSettingsLength = 27;
inline constexpr std::array<quint8, 3> NetSettingsHeaderF4 = {0xF4, 0x55, 0xAA};
inline constexpr std::array<quint8, 3> NetSettingsHeaderF8 = {0xF8, 0xAA, 0x51};

inline constexpr std::size_t DiscoveryReplyMinLength = 18;

} // namespace proto
} // namespace qev
