#pragma once

// The booster bus behind a booster gateway (class 27) or a manager (class 3): the list of
// boosters with address, type, name, firmware version and serial number, read over the
// device link, and the renaming of one booster.
//
// Every request begins with the booster-bus prefix 0x90; an accepted reply begins 21 90
// and the command byte. Readers look only at the bytes received.

#include "app/devicecodes.h"
#include "devicelink/devicelink.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace qev::boosterlist {

// Command codes behind the prefix 0x90.
inline constexpr quint8 ListCommand = 0x91;
inline constexpr quint8 NameCommand = 0x0E;
inline constexpr quint8 InfoCommand = 0x93;
inline constexpr quint8 SerialsCommand = 0x0D;
inline constexpr quint8 UnlockCommand = 0xF0;
inline constexpr quint8 NameWriteCommand = 0x1E;

// Byte 3 of the list request: 01 asks for the list with types, 00 only whether boosters
// are present.
inline constexpr quint8 ListAll = 0xFF;
inline constexpr quint8 ListWithTypes = 0x01;
inline constexpr quint8 ListPresence = 0x00;

inline constexpr std::size_t ListEntrySize = 3;
inline constexpr std::size_t SerialEntrySize = 7;
inline constexpr std::size_t SerialLength = 6;
inline constexpr std::size_t UnlockCodeLength = 6;
inline constexpr std::size_t InfoVersionByte = 10;

inline constexpr int ListWaitMs = 100;
inline constexpr int BoosterWaitMs = 10; // name, info and serials
inline constexpr int UnlockWaitMs = 100;

// The sizes of the table's text fields; longer texts are cut.
inline constexpr int MaxNameLength = 20;
// A new name the user gives is at most this long.
inline constexpr int MaxNewNameLength = 16;

// Type codes of a list entry; others add no row.
inline constexpr int TypeUnknown = 0;
inline constexpr int TypeBooster5A = 1;
inline constexpr int TypeSwitchingBooster = 2;

inline constexpr int FirstAddress = 1;
inline constexpr int LastAddress = 127;

struct BoosterRow {
    int recId = 0; // row identity, assigned by the table
    qint16 nr = 0; // booster address
    int type = TypeUnknown;
    QString name;
    QString version;     // "1.10"
    QString serial;      // "00:1A:2B:3C:4D:5E"
    bool change = false; // the user edited or wrote this row's name

    friend bool operator==(const BoosterRow &, const BoosterRow &) = default;
};

// The rows, kept sorted by address; a row added at an address already present goes
// behind the rows of that address.
class BoosterTable {
public:
    const std::vector<BoosterRow> &rows() const { return m_rows; }
    std::vector<BoosterRow> &rows() { return m_rows; }
    void clear() { m_rows.clear(); }
    // A new row with empty name, version and serial. Returns its index.
    std::size_t insert(qint16 nr, int type);
    // The first row with this address, if any.
    BoosterRow *findFirst(qint16 nr);

private:
    std::vector<BoosterRow> m_rows;
    int m_nextRecId = 1;
};

struct ListEntry {
    quint8 address = 0;
    quint8 type = 0;
};

struct ListReply {
    int count = 0;                  // the number of entries the reply announces
    std::vector<ListEntry> entries; // the entries actually received
};

struct SerialEntry {
    quint8 address = 0;
    QString serial;
};

// 90 91 FF 01 (the list with types) or 90 91 FF 00 (the presence list).
std::size_t BuildList(std::span<quint8> buffer, quint8 kind);
std::size_t BuildName(std::span<quint8> buffer, quint8 address);
std::size_t BuildInfo(std::span<quint8> buffer, quint8 address);
std::size_t BuildSerials(std::span<quint8> buffer);
// 90 F0 00 and the six code bytes.
std::size_t BuildUnlock(std::span<quint8> buffer, const std::array<quint8, UnlockCodeLength> &code);
// 90 1E address L and the name's characters (Latin-1, at most MaxNewNameLength).
std::size_t BuildNameWrite(std::span<quint8> buffer, quint8 address, const QString &name);

// More than 4 bytes led by 21 90 91; entries are taken as far as the reply holds them.
std::optional<ListReply> ReadList(std::span<const quint8> reply);
// The list request's indication: 21 and the command byte 91 in byte 2.
bool ListAnswered(std::span<const quint8> reply);
// More than 4 bytes led by 21 90 0E; byte 3 is the length, the characters follow (as many
// as arrived).
std::optional<QString> ReadName(std::span<const quint8> reply);
// 21 90 93 with the version in byte 10: high nibble major, low nibble minor.
std::optional<QString> ReadVersion(std::span<const quint8> reply);
// Led by 21 90 0D; byte 3 is the number of entries, each an address and six serial bytes
// (only the entries that arrived whole).
std::optional<std::vector<SerialEntry>> ReadSerials(std::span<const quint8> reply);
// 21, then anything, then 1E.
bool NameWriteAccepted(std::span<const quint8> reply);

// Types 0 ("Unbekannt"), 1 ("Booster 5A") and 2 ("Schaltbooster") make rows.
bool IsListedType(int type);

// Draws a number below bound (5 for the set, 2 for the row).
using Draw = std::function<int(int bound)>;
// The unlock code: each of the two three-byte groups is a row of the booster-bus table,
// its set and row drawn independently.
std::array<quint8, UnlockCodeLength> DrawUnlockCode(const DeviceCodes &codes, const Draw &draw);
// Uniform draws from the system's random source.
int DrawRandom(int bound);

// An exchange with the current device that pauses ms between the send and the receive.
ExchangeOptions Waiting(int ms);

// What a list read tells while it runs.
struct ListReadObserver {
    std::function<void(bool answered)> listAnswered; // the list request's indication
    std::function<void(int count)> listRead;         // entries announced (0: none or refused)
};

// Fills table from the current device: the list, then name and info of every row (kept
// rows included), then the serial numbers. Without keepRows the table is emptied first.
// Holds the link busy for its whole run; the window's events are handled between the
// requests. LinkError from the link passes through, the rows read so far stay.
void ReadBoosterList(DeviceLink &link, BoosterTable &table, bool keepRows,
                     const ListReadObserver &observer = {});

// Unlocks the bus with a freshly drawn code, then writes the name of the booster at
// address. Returns whether the booster acknowledged the name.
bool WriteBoosterName(DeviceLink &link, quint8 address, const QString &name,
                      const Draw &draw = DrawRandom);

} // namespace qev::boosterlist
