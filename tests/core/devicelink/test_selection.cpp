#include "devicelink/selection.h"

#include "fakehostnetwork.h"

#include <QByteArray>
#include <gtest/gtest.h>

using namespace qev;

namespace {

DeviceRecord record(const char *address, quint8 deviceClass) {
    DeviceRecord r;
    r.address = QString::fromLatin1(address);
    r.netmask = QStringLiteral("255.255.255.0");
    r.mac = {0x02, 0x81, 0x7E, 0x00, 0x00, static_cast<quint8>(deviceClass)};
    r.port = 11081;
    r.deviceClass = deviceClass;
    return r;
}

// ---- Filtering and counting ----

TEST(FoundDevices, FilterKeepsListOrderAndCountsPcPrograms) {
    const QList<DeviceRecord> found{record("192.168.0.20", 17), record("192.168.0.21", 4),
                                    record("192.168.0.22", 22), record("192.168.0.23", 255),
                                    record("192.168.0.24", 17), record("192.168.0.25", 250)};
    const FoundDevices all = FilterFoundDevices(found, 0);
    EXPECT_EQ(all.offered, found);
    EXPECT_EQ(all.pcPrograms, 3);

    const FoundDevices s88 = FilterFoundDevices(found, 17);
    EXPECT_EQ(s88.offered, (QList<DeviceRecord>{found[0], found[4]}));
    EXPECT_EQ(s88.pcPrograms, 0);

    const FoundDevices programs = FilterFoundDevices(found, 4);
    EXPECT_EQ(programs.offered, QList<DeviceRecord>{found[1]});
    EXPECT_EQ(programs.pcPrograms, 1);

    EXPECT_TRUE(FilterFoundDevices(found, 34).offered.isEmpty());
}

TEST(FoundDevices, PcProgramClasses) {
    for (int c = 0; c <= 255; ++c)
        EXPECT_EQ(IsPcProgramClass(static_cast<quint8>(c)), c == 4 || c >= 250) << c;
}

struct SelectionRow {
    const char *name;
    QList<DeviceRecord> offered;
    int pcPrograms;
    std::optional<qsizetype> picked;
    int count;
    QString address; // of the record taken, empty when none
};

void PrintTo(const SelectionRow &row, std::ostream *os) {
    *os << row.name;
}

class Counting : public testing::TestWithParam<SelectionRow> {};

TEST_P(Counting, CountAndRecord) {
    const SelectionRow &row = GetParam();
    const Selection s = SelectionFrom({row.offered, row.pcPrograms}, row.picked);
    EXPECT_EQ(s.count, row.count);
    EXPECT_EQ(s.device.address, row.address);
    if (row.address.isEmpty()) {
        EXPECT_EQ(s.device, DeviceRecord{});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Counting,
    testing::Values(SelectionRow{"None", {}, 0, std::nullopt, 0, {}},
                    SelectionRow{"SingleDeviceNeedsNoPick",
                                 {record("192.168.0.20", 17)},
                                 0,
                                 std::nullopt,
                                 1,
                                 QStringLiteral("192.168.0.20")},
                    SelectionRow{"SinglePcProgramCountsZeroButKeepsAddress",
                                 {record("192.168.0.9", 252)},
                                 1,
                                 std::nullopt,
                                 0,
                                 QStringLiteral("192.168.0.9")},
                    SelectionRow{"TwoPickedSecond",
                                 {record("192.168.0.20", 17), record("192.168.0.21", 3)},
                                 0,
                                 1,
                                 2,
                                 QStringLiteral("192.168.0.21")},
                    SelectionRow{"TwoNotPicked",
                                 {record("192.168.0.20", 17), record("192.168.0.21", 3)},
                                 0,
                                 std::nullopt,
                                 0,
                                 {}},
                    SelectionRow{"PcProgramNotCounted",
                                 {record("192.168.0.20", 17), record("192.168.0.9", 4),
                                  record("192.168.0.21", 3)},
                                 1,
                                 0,
                                 2,
                                 QStringLiteral("192.168.0.20")},
                    SelectionRow{"PickOutsideTheList",
                                 {record("192.168.0.20", 17), record("192.168.0.21", 3)},
                                 0,
                                 2,
                                 0,
                                 {}}));

// ---- Pick list ----

TEST(PickList, RowsSortedByAddressTextPickByRecordNumber) {
    const QList<DeviceRecord> list{record("192.168.0.3", 17), record("192.168.0.20", 6),
                                   record("10.0.0.1", 22), record("192.168.0.20", 3)};
    const QList<PickRow> rows = PickListRows(list);
    const QList<PickRow> expected{
        {3, QStringLiteral("10.0.0.1"), QStringLiteral("Lucento Classic Master")},
        {2, QStringLiteral("192.168.0.20"), QString()}, // class 6 has no pick-list name
        {4, QStringLiteral("192.168.0.20"), QStringLiteral("Kopla Manager")},
        {1, QStringLiteral("192.168.0.3"), QStringLiteral("Ferrano S88 Controller")}};
    EXPECT_EQ(rows, expected);

    // A click on a row takes the record that produced it, whatever the display order.
    for (const PickRow &row : rows) {
        const std::optional<qsizetype> index = PickedIndex(row.recordNumber, list.size());
        ASSERT_TRUE(index);
        EXPECT_EQ(list[*index].address, row.address);
        EXPECT_EQ(list[*index].deviceClass, list[row.recordNumber - 1].deviceClass);
    }
    EXPECT_FALSE(PickedIndex(0, list.size()));
    EXPECT_FALSE(PickedIndex(5, list.size()));
    EXPECT_TRUE(PickListRows({}).isEmpty());
}

// ---- Manual selection ----

struct ManualRow {
    int index;
    QString found;
    int currentClass;
    QList<int> types;
};

void PrintTo(const ManualRow &row, std::ostream *os) {
    *os << "item " << row.index;
}

class ManualItems : public testing::TestWithParam<ManualRow> {};

TEST_P(ManualItems, WhatTheItemSets) {
    const ManualChoice c = ManualSelection(GetParam().index);
    EXPECT_EQ(c.foundText, GetParam().found);
    EXPECT_EQ(c.currentClass, GetParam().currentClass);
    EXPECT_EQ(c.deviceTypeSteps, GetParam().types);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ManualItems,
    testing::Values(ManualRow{0, QStringLiteral("Ferrano Zentrale"), 16, {2, 2}},
                    ManualRow{1, QStringLiteral("Ferrano Booster-GW"), 27, {2, 2}},
                    ManualRow{2, QStringLiteral("Ferrano Booster"), 34, {0, 2}},
                    ManualRow{3, QStringLiteral("Ferrano S88-Controller"), 17, {2, 2}},
                    ManualRow{4, QStringLiteral("Ferrano Portaxis"), 7, {4}},
                    ManualRow{5, QStringLiteral("Lucento RGB Master"), 23, {3, 3}},
                    ManualRow{6, QStringLiteral("Lucento Classic Master"), 22, {3, 3}},
                    ManualRow{7, QStringLiteral("Lucento Sound Master"), 24, {3, 3}},
                    ManualRow{8, QStringLiteral("Lucento Display"), 21, {3, 3}},
                    ManualRow{-1, QString(), 0, {}}, ManualRow{9, QString(), 0, {}}));

struct SearchRow {
    QString text;
    FieldColour colour;
    int id;
    bool ok;
};

void PrintTo(const SearchRow &row, std::ostream *os) {
    *os << '"' << row.text.toStdString() << '"';
}

class SearchAddress : public testing::TestWithParam<SearchRow> {
protected:
    SearchAddress() { host.setLocalIP(QStringLiteral("192.168.0.5")); }
    qevtest::FakeHostNetwork host;
};

TEST_P(SearchAddress, Verdict) {
    const SearchAddressVerdict v = ValidateSearchIP(GetParam().text);
    EXPECT_EQ(v.field.colour, GetParam().colour);
    EXPECT_EQ(v.field.messageId, GetParam().id);
    EXPECT_TRUE(v.field.labelVisible);
    EXPECT_EQ(v.enableOk, GetParam().ok);
    EXPECT_EQ(v.clearSelection, GetParam().ok);
    EXPECT_TRUE(host.pingCalls().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SearchAddress,
    testing::Values(SearchRow{QStringLiteral("192.168.1.9"), FieldColour::Good, IDS_128, false},
                    SearchRow{QStringLiteral("10.0.0.1"), FieldColour::Good, IDS_128, false},
                    SearchRow{QStringLiteral("192.168.0"), FieldColour::Incomplete, IDS_127, false},
                    SearchRow{QString(), FieldColour::Incomplete, IDS_127, false},
                    SearchRow{QStringLiteral("192.168.0.9"), FieldColour::Good, 0, true}));

TEST(ManualSelection, DirectAddressOrSearchByKind) {
    qevtest::FakeHostNetwork host;
    // A complete address wins over a chosen kind; without either the typed text is asked.
    EXPECT_TRUE(UsesDirectAddress(QStringLiteral("192.168.0.9"), 3));
    EXPECT_TRUE(UsesDirectAddress(QString(), -1));
    EXPECT_TRUE(UsesDirectAddress(QStringLiteral("192.168.0"), -1));
    EXPECT_FALSE(UsesDirectAddress(QStringLiteral("192.168.0"), 2));
    EXPECT_FALSE(UsesDirectAddress(QString(), 0));

    EXPECT_TRUE(IdentifiesManualChoice(1, QStringLiteral("192.168.0.9")));
    EXPECT_TRUE(IdentifiesManualChoice(2, QStringLiteral("10.0.0.9")));
    EXPECT_FALSE(IdentifiesManualChoice(0, QStringLiteral("192.168.0.9")));
    EXPECT_FALSE(IdentifiesManualChoice(1, QString()));
    EXPECT_FALSE(IdentifiesManualChoice(1, QStringLiteral("0.0.0.0")));
}

TEST(DirectReply, AnyReplyOfDiscoveryLength) {
    const QByteArray reply = QByteArray::fromHex("0000 C0A80009 FFFFFF00 02817E000009 2B49");
    const auto span = [](const QByteArray &b) {
        return std::span<const quint8>(reinterpret_cast<const quint8 *>(b.constData()),
                                       static_cast<std::size_t>(b.size()));
    };
    const std::optional<DeviceRecord> r = ReadDirectReply(span(reply));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->address, QStringLiteral("192.168.0.9"));
    EXPECT_EQ(r->netmask, QStringLiteral("255.255.255.0"));
    EXPECT_EQ(r->mac, (MacBytes{0x02, 0x81, 0x7E, 0x00, 0x00, 0x09}));
    EXPECT_EQ(r->port, 11081);
    EXPECT_EQ(r->deviceClass, 0);
    EXPECT_TRUE(ReadDirectReply(span(reply + QByteArray(40, 'x'))));
    EXPECT_FALSE(ReadDirectReply(span(reply.left(17))));
    EXPECT_FALSE(ReadDirectReply({}));
}

} // namespace
