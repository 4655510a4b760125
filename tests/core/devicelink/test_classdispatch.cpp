#include "devicelink/classdispatch.h"

#include <QByteArray>
#include <QSet>
#include <gtest/gtest.h>

using namespace qev;
using enum Page;

namespace {

struct DispatchRow {
    int reported;
    int current;
    QList<Page> pages;
    VersionDisplay version;
    QList<PickStep> steps;
};

void PrintTo(const DispatchRow &row, std::ostream *os) {
    *os << "class " << row.reported;
}

PickStep type(int item) {
    return {PickStep::TypeItem, item};
}

std::span<const quint8> bytes(const QByteArray &reply) {
    return {reinterpret_cast<const quint8 *>(reply.constData()),
            static_cast<std::size_t>(reply.size())};
}

const VersionDisplay shown = VersionDisplay::Shown;

class DispatchTable : public testing::TestWithParam<DispatchRow> {};

TEST_P(DispatchTable, PagesClassVersionAndPresets) {
    const DispatchRow &row = GetParam();
    // A short-form reply of version 7.4 (enough for every page class 17 can get).
    const QByteArray reply("\x21\x0F\x00\x07\x04\x00", 6);
    const ClassDispatch d = DispatchClass(static_cast<quint8>(row.reported), bytes(reply));
    EXPECT_TRUE(d.known);
    EXPECT_EQ(d.reportedClass, row.reported);
    EXPECT_EQ(d.currentClass, row.current);
    EXPECT_EQ(d.pages, row.pages);
    EXPECT_EQ(d.version, row.version);
    EXPECT_EQ(d.pickSteps, row.steps);
    EXPECT_FALSE(d.pages.contains(TabSheetMain));
}

INSTANTIATE_TEST_SUITE_P(
    EveryListedClass, DispatchTable,
    testing::Values(
        DispatchRow{1, 1, {TabSheetFirm}, shown, {}},
        DispatchRow{2, 2, {TabSheetFirm, TabSheetSpeed}, shown, {}},
        DispatchRow{
            3, 3, {TabSheetBooster, TabSheetFirm, TabSheetManager, TabSheetSerial}, shown, {}},
        DispatchRow{6, 6, {TabSheetFirm, TabSheetS88Master}, shown, {}},
        DispatchRow{7, 7, {TabSheetExtender}, shown, {{PickStep::PortItem, 0}, type(3)}},
        DispatchRow{12, 12, {TabSheetFirm, TabSheetContainer}, shown, {}},
        DispatchRow{15, 15, {TabSheetFirm}, shown, {}},
        DispatchRow{16, 16, {TabSheetFirm}, shown, {type(2)}},
        DispatchRow{17,
                    17,
                    {TabSheetFirm, TabSheetS88Master, TabSheetLight},
                    shown,
                    {{PickStep::PortItem, 2}, type(2), type(2), {PickStep::PortCurrent, 0}}},
        DispatchRow{21, 21, {}, VersionDisplay::Unchanged, {type(2), {PickStep::PortCurrent, 0}}},
        DispatchRow{22, 22, {TabSheetLight, TabSheetClassic, TabSheetFirm}, shown, {type(3)}},
        DispatchRow{23, 23, {TabSheetLight, TabSheetRGB, TabSheetFirm}, shown, {type(3)}},
        DispatchRow{24, 24, {TabSheetLight, TabSheetFirm}, shown, {type(3)}},
        DispatchRow{25, 25, {TabSheetFirm}, shown, {}},
        DispatchRow{
            27,
            27,
            {TabSheetLight, TabSheetBooster, TabSheetFirm, TabSheetBoosterNET, TabSheetSerial},
            shown,
            {type(2)}},
        DispatchRow{99, 34, {TabSheetFirm}, shown, {}}, DispatchRow{250, 28, {}, shown, {}},
        DispatchRow{251, 29, {}, shown, {}}, DispatchRow{28, 30, {}, shown, {}},
        DispatchRow{252, 30, {}, shown, {}}, DispatchRow{30, 32, {}, shown, {}},
        DispatchRow{254, 32, {}, shown, {}}, DispatchRow{31, 33, {}, shown, {}},
        DispatchRow{255, 33, {}, shown, {}}));

TEST(Dispatch, EveryUnlistedClassIsUnknownAndGoesOn) {
    const QSet<int> listed{1,  2,  3,  6,  7,   12,  15, 16,  17, 21,  22, 23,
                           24, 25, 27, 99, 250, 251, 28, 252, 30, 254, 31, 255};
    for (int c = 0; c <= 255; ++c) {
        const ClassDispatch d = DispatchClass(static_cast<quint8>(c), bytes(QByteArray(8, '\x07')));
        EXPECT_EQ(d.known, listed.contains(c)) << c;
        if (listed.contains(c))
            continue;
        EXPECT_EQ(d.currentClass, 0) << c;
        EXPECT_TRUE(d.pages.isEmpty()) << c;
        EXPECT_EQ(d.version, VersionDisplay::Cleared) << c;
        EXPECT_TRUE(d.pickSteps.isEmpty()) << c;
    }
}

TEST(Dispatch, S88AndBoosterSpecials) {
    const QByteArray reply(6, '\0');
    const ClassDispatch six = DispatchClass(6, bytes(reply));
    EXPECT_TRUE(six.s88CaptionIsClassName);
    EXPECT_EQ(six.s88ModuleLimit, 48);
    EXPECT_FALSE(six.busLabels);
    EXPECT_TRUE(six.deviceTypeEnabled);

    const ClassDispatch seventeen = DispatchClass(17, bytes(reply));
    EXPECT_TRUE(seventeen.s88CaptionIsClassName);
    EXPECT_EQ(seventeen.s88ModuleLimit, 66);
    EXPECT_TRUE(seventeen.busLabels);
    EXPECT_FALSE(seventeen.deviceTypeEnabled);

    const ClassDispatch twentyOne = DispatchClass(21, bytes(reply));
    EXPECT_TRUE(twentyOne.s88CaptionIsClassName);
    EXPECT_EQ(twentyOne.s88ModuleLimit, 0);

    EXPECT_TRUE(DispatchClass(27, bytes(reply)).boosterCaption);
    EXPECT_FALSE(DispatchClass(3, bytes(reply)).boosterCaption);
    for (int c : {1, 2, 3, 7, 12, 15, 16, 22, 23, 24, 25, 27, 99, 250})
        EXPECT_FALSE(DispatchClass(static_cast<quint8>(c), bytes(reply)).s88CaptionIsClassName)
            << c;
}

struct LightRow {
    QByteArray reply;
    bool light;
};

class Class17Light : public testing::TestWithParam<LightRow> {};

TEST_P(Class17Light, NeedsByte3AtLeast7AndByte4AtLeast4) {
    const ClassDispatch d = DispatchClass(17, bytes(GetParam().reply));
    EXPECT_EQ(d.pages.contains(TabSheetLight), GetParam().light);
    EXPECT_TRUE(d.pages.contains(TabSheetS88Master));
}

INSTANTIATE_TEST_SUITE_P(ReplyBytes, Class17Light,
                         testing::Values(LightRow{QByteArray("\x21\x0F\x11\x07\x03\x00", 6), false},
                                         LightRow{QByteArray("\x21\x0F\x11\x07\x04\x00", 6), true},
                                         LightRow{QByteArray("\x21\x0F\x11\x06\x09\x00", 6), false},
                                         LightRow{QByteArray("\x21\x0F\x11\x08\x00\x00", 6), false},
                                         LightRow{QByteArray("\x21\x0F\x11\xFF\xFF", 5), true},
                                         // Missing bytes count as 0, never read past the reply.
                                         LightRow{QByteArray("\x21\x0F\x11\x07", 4), false},
                                         LightRow{QByteArray(), false}));

} // namespace
