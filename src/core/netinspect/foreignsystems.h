#pragma once

// Command stations of other makers on the LAN: the ARP neighbours of the PC that answer a
// ping are probed over TCP with the protocol of the Lenz LAN interface.

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

namespace qev {

constexpr quint16 LenzPort = 5550;

enum ForeignKind : quint8 {
    ForeignNone = 0,
    ForeignEcos = 1,
    ForeignLenz = 2,
    ForeignCentralStation = 3,
};

// One command station found.
struct TZentrale {
    QString IP;
    qint32 Port = LenzPort;
    quint8 Kind = ForeignNone;
    QString Version; // such as "3.6"
    QString MAC;     // colon hex from the ARP cache, empty when it has no entry
};

// Display name of a kind; empty for ForeignNone.
QString ForeignSystemName(quint8 kind);

// FF FE, the message, the XOR of the message bytes.
QByteArray LenzFrame(const QByteArray &message);

// Whether the bytes received after the request F1 03 come from a Lenz interface.
bool LenzFirstReplyMatches(const QByteArray &received);

// The version in the reply to 21 21 ("3.6" for the BCD byte 0x36); nothing when the
// reply is not one.
std::optional<QString> LenzVersionOf(const QByteArray &received);

// Removes the first complete frame from the front of a byte stream and returns its
// message (the checksum verified); nothing while the frame is incomplete. Bytes that
// cannot begin a frame, and frames with a wrong checksum, are dropped.
std::optional<QByteArray> TakeLenzMessage(QByteArray &stream);

// What the scan shows and how it waits.
struct ForeignScanHooks {
    std::function<void(const QString &text)> status; // "Lenz...", "ECoS...", "Märklin..."
    std::function<void()> step;                      // one step of the progress bar
    // How the calling thread waits, in short slices, while the probes run on threads of
    // their own; empty: it sleeps.
    std::function<void(int ms)> wait;
    quint16 port = LenzPort;
};

// Probes one address; Kind is ForeignLenz when a Lenz interface answered both requests.
// The probe waits 50 ms for the connection and waitMs for each reply, less once the
// connection is refused or closed.
TZentrale ProbeLenz(const QString &ip, int waitMs, const ForeignScanHooks &hooks = {});

// Appends every station found among the ARP neighbours in the PC's subnet, in the order of
// the ARP table; true when the list is not empty afterwards. The neighbours are pinged and
// probed side by side, up to 16 at once, each on a thread of its own.
bool ScanForeignSystems(QList<TZentrale> &list, int waitMs, const ForeignScanHooks &hooks = {});

} // namespace qev
