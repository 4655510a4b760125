#include "pages/boosterlist.h"

#include "netinspect/arp.h"

#include <QRandomGenerator>
#include <algorithm>

namespace qev::boosterlist {

namespace {

using proto::Ack;
using proto::PrefixBooster;

bool ledBy(std::span<const quint8> reply, quint8 command) {
    return reply.size() >= 3 && reply[0] == Ack && reply[1] == PrefixBooster && reply[2] == command;
}

std::size_t put(std::span<quint8> buffer, std::initializer_list<quint8> bytes) {
    std::copy(bytes.begin(), bytes.end(), buffer.begin());
    return bytes.size();
}

QString latin1(std::span<const quint8> bytes) {
    return QString::fromLatin1(reinterpret_cast<const char *>(bytes.data()),
                               qsizetype(bytes.size()));
}

} // namespace

std::size_t BoosterTable::insert(qint16 nr, int type) {
    const auto at = std::upper_bound(m_rows.begin(), m_rows.end(), nr,
                                     [](qint16 n, const BoosterRow &row) { return n < row.nr; });
    BoosterRow row;
    row.recId = m_nextRecId++;
    row.nr = nr;
    row.type = type;
    const auto inserted = m_rows.insert(at, row);
    return std::size_t(inserted - m_rows.begin());
}

BoosterRow *BoosterTable::findFirst(qint16 nr) {
    const auto it = std::find_if(m_rows.begin(), m_rows.end(),
                                 [nr](const BoosterRow &row) { return row.nr == nr; });
    return it == m_rows.end() ? nullptr : &*it;
}

std::size_t BuildList(std::span<quint8> buffer, quint8 kind) {
    return put(buffer, {PrefixBooster, ListCommand, ListAll, kind});
}

std::size_t BuildName(std::span<quint8> buffer, quint8 address) {
    return put(buffer, {PrefixBooster, NameCommand, address});
}

std::size_t BuildInfo(std::span<quint8> buffer, quint8 address) {
    return put(buffer, {PrefixBooster, InfoCommand, address});
}

std::size_t BuildSerials(std::span<quint8> buffer) {
    return put(buffer, {PrefixBooster, SerialsCommand, 0x00});
}

std::size_t BuildUnlock(std::span<quint8> buffer,
                        const std::array<quint8, UnlockCodeLength> &code) {
    const std::size_t header = put(buffer, {PrefixBooster, UnlockCommand, 0x00});
    std::copy(code.begin(), code.end(), buffer.begin() + header);
    return header + code.size();
}

std::size_t BuildNameWrite(std::span<quint8> buffer, quint8 address, const QString &name) {
    const QByteArray text = name.left(MaxNewNameLength).toLatin1();
    const std::size_t header =
        put(buffer, {PrefixBooster, NameWriteCommand, address, quint8(text.size())});
    std::copy(text.begin(), text.end(), buffer.begin() + header);
    return header + std::size_t(text.size());
}

std::optional<ListReply> ReadList(std::span<const quint8> reply) {
    if (reply.size() <= 4 || !ledBy(reply, ListCommand))
        return std::nullopt;
    ListReply list;
    list.count = reply[3];
    const std::size_t whole = (reply.size() - 4) / ListEntrySize;
    for (std::size_t k = 0; k < std::min(std::size_t(list.count), whole); ++k) {
        const std::size_t at = 4 + k * ListEntrySize;
        list.entries.push_back({reply[at], reply[at + 1]});
    }
    return list;
}

bool ListAnswered(std::span<const quint8> reply) {
    return reply.size() >= 3 && reply[0] == Ack && reply[2] == ListCommand;
}

std::optional<QString> ReadName(std::span<const quint8> reply) {
    if (reply.size() <= 4 || !ledBy(reply, NameCommand))
        return std::nullopt;
    const std::size_t length = std::min(std::size_t(reply[3]), reply.size() - 4);
    return latin1(reply.subspan(4, length)).left(MaxNameLength);
}

std::optional<QString> ReadVersion(std::span<const quint8> reply) {
    if (reply.size() <= InfoVersionByte || !ledBy(reply, InfoCommand))
        return std::nullopt;
    const quint8 version = reply[InfoVersionByte];
    return QStringLiteral("%1.%2").arg(version >> 4).arg(version & 0x0F);
}

std::optional<std::vector<SerialEntry>> ReadSerials(std::span<const quint8> reply) {
    if (!ledBy(reply, SerialsCommand))
        return std::nullopt;
    std::vector<SerialEntry> entries;
    if (reply.size() < 4)
        return entries;
    const std::size_t whole = (reply.size() - 4) / SerialEntrySize;
    for (std::size_t k = 0; k < std::min(std::size_t(reply[3]), whole); ++k) {
        const std::span<const quint8> entry =
            reply.subspan(4 + k * SerialEntrySize, SerialEntrySize);
        const QByteArray serial(reinterpret_cast<const char *>(entry.data()) + 1, SerialLength);
        entries.push_back({entry[0], HexBytesText(serial, false)});
    }
    return entries;
}

bool NameWriteAccepted(std::span<const quint8> reply) {
    return reply.size() >= 3 && reply[0] == Ack && reply[2] == NameWriteCommand;
}

bool IsListedType(int type) {
    return type == TypeUnknown || type == TypeBooster5A || type == TypeSwitchingBooster;
}

std::array<quint8, UnlockCodeLength> DrawUnlockCode(const DeviceCodes &codes, const Draw &draw) {
    std::array<quint8, UnlockCodeLength> code{};
    for (std::size_t group = 0; group < 2; ++group) {
        const int set = std::clamp(draw(int(codes.boosterBusSets.size())), 0,
                                   int(codes.boosterBusSets.size()) - 1);
        const int row = std::clamp(draw(2), 0, 1);
        const DeviceCodes::BusRow &bytes = codes.boosterBusSets[std::size_t(set)][std::size_t(row)];
        std::copy(bytes.begin(), bytes.end(), code.begin() + group * bytes.size());
    }
    return code;
}

int DrawRandom(int bound) {
    return int(QRandomGenerator::global()->bounded(bound));
}

ExchangeOptions Waiting(int ms) {
    ExchangeOptions options;
    options.waitMs = ms;
    return options;
}

void ReadBoosterList(DeviceLink &link, BoosterTable &table, bool keepRows,
                     const ListReadObserver &observer) {
    const DeviceLink::Busy busy(link);
    if (!keepRows)
        table.clear();
    RunWindowPump();

    const std::span<const quint8> listReply = link.Exchange(
        [](std::span<quint8> b) { return BuildList(b, ListWithTypes); }, Waiting(ListWaitMs));
    if (observer.listAnswered)
        observer.listAnswered(ListAnswered(listReply));
    const std::optional<ListReply> list = ReadList(listReply);
    const int count = list ? list->count : 0;
    if (observer.listRead)
        observer.listRead(count);
    if (list) {
        for (const ListEntry &entry : list->entries) {
            // An address outside the bus would make a rename reach every booster (0).
            if (IsListedType(entry.type) && entry.address >= FirstAddress &&
                entry.address <= LastAddress)
                table.insert(entry.address, entry.type);
        }
    }
    RunWindowPump();
    if (count == 0)
        return;

    const ExchangeOptions boosterWait = Waiting(BoosterWaitMs);
    // Rows are addressed by index: the table does not change shape while names and versions
    // are filled in.
    for (std::size_t k = 0; k < table.rows().size(); ++k) {
        RunWindowPump();
        const quint8 address = quint8(table.rows()[k].nr);
        if (const std::optional<QString> name = ReadName(link.Exchange(
                [address](std::span<quint8> b) { return BuildName(b, address); }, boosterWait))) {
            table.rows()[k].name = *name;
            RunWindowPump();
        }
        if (const std::optional<QString> version = ReadVersion(link.Exchange(
                [address](std::span<quint8> b) { return BuildInfo(b, address); }, boosterWait))) {
            table.rows()[k].version = *version;
            RunWindowPump();
        }
    }

    const std::optional<std::vector<SerialEntry>> serials =
        ReadSerials(link.Exchange(BuildSerials, boosterWait));
    if (!serials)
        return;
    for (const SerialEntry &entry : *serials) {
        if (BoosterRow *row = table.findFirst(entry.address))
            row->serial = entry.serial;
    }
}

bool WriteBoosterName(DeviceLink &link, quint8 address, const QString &name, const Draw &draw) {
    const DeviceLink::Busy busy(link);
    const std::array<quint8, UnlockCodeLength> code = DrawUnlockCode(link.codes(), draw);
    // The unlock's reply says nothing; it is only waited for.
    link.Exchange([&code](std::span<quint8> b) { return BuildUnlock(b, code); },
                  Waiting(UnlockWaitMs));
    return NameWriteAccepted(
        link.Exchange([&](std::span<quint8> b) { return BuildNameWrite(b, address, name); }));
}

} // namespace qev::boosterlist
