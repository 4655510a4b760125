#pragma once

// The one table of the protocol's commands by their leading bytes, for the trace. The
// names are German and are keys of the catalogue: the window shows them through
// QCoreApplication::translate(CommandNameContext, name).

#include <QtGlobal>
#include <span>

namespace qev {

inline constexpr const char *CommandNameContext = "CommandName";

// The name of a request by its leading bytes (the longest entry of the table that the
// datagram begins with); "" when none fits.
const char *RequestName(std::span<const quint8> datagram);

// The name of a received datagram: the name of the request it answers when that is known
// (acknowledgements do not always repeat the command), else the command an acknowledgement
// (0x21) repeats.
const char *ReplyName(std::span<const quint8> datagram, const char *requestName);

// The name of a frame of the station probe on TCP.
inline constexpr const char *StationProbeName =
    QT_TRANSLATE_NOOP("CommandName", "Zentralen-Abfrage");

} // namespace qev
