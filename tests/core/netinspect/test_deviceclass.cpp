#include "netinspect/deviceclass.h"
#include "netinspect/foreignsystems.h"

#include "qtprinters.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace qev;

namespace {

struct ClassRow {
    int code;
    const char *catalogue;
    const char *pickList;
};

// Every code that has a name in either list.
const ClassRow NamedClasses[] = {
    {1, "Glimnet", "Glimnet"},
    {2, "Velocimo", "Velocimo"},
    {3, "Kopla Manager", "Kopla Manager"},
    {4, "Unbekannt", "Spurnova Station"},
    {6, "s88 Master", ""},
    {7, "Portaxis", "Portaxis"},
    {9, "Ferrano", "Ferrano Hub"},
    {12, "Container Terminal", "Hafenlabor Container"},
    {14, "Kopla Light", ""},
    {15, "Ferrano Switch", "Ferrano Switch"},
    {16, "Ferrano Zentrale", "Ferrano Zentrale"},
    {17, "Ferrano S88-Controller", "Ferrano S88 Controller"},
    {18, "Unbekannt", "Glimmaster"},
    {21, "Lucento Decoder", "Lucento Decoder"},
    {22, "Lucento Classic-Master", "Lucento Classic Master"},
    {23, "Lucento RGB-Master", "Lucento RGB Master"},
    {24, "Lucento Raum-Master", "Lucento Raum Master"},
    {25, "Servanto", "Servanto"},
    {26, "Unbekannt", "Sensonet"},
    {27, "Ferrano Booster-GW", "Ferrano Booster GW"},
    {99, "Base Controller", "Base Controller"},
    {250, "Movaro", ""},
    {251, "Chronalis", ""},
    {252, "Lunarra PC", "Lunarra PC"},
    {254, "Spurnova Interface", "Spurnova Interface"},
    {255, "Spurnova Gleisbild", "Spurnova Gleisbild"},
    // Codes neither list names.
    {0, "Unbekannt", ""},
    {5, "Unbekannt", ""},
    {253, "Unbekannt", ""},
};

} // namespace

class ClassNameTest : public ::testing::TestWithParam<ClassRow> {};

TEST_P(ClassNameTest, CatalogueAndPickList) {
    EXPECT_EQ(DeviceClassName(quint8(GetParam().code)), QString::fromUtf8(GetParam().catalogue));
    EXPECT_EQ(PickListClassName(quint8(GetParam().code)), QString::fromUtf8(GetParam().pickList));
}

INSTANTIATE_TEST_SUITE_P(DeviceClass, ClassNameTest, ::testing::ValuesIn(NamedClasses),
                         [](const ::testing::TestParamInfo<ClassRow> &row) {
                             return "Code" + std::to_string(row.param.code);
                         });

TEST(DeviceClass, EveryUnlistedCodeIsUnknownAndUnnamed) {
    std::map<int, bool> listed;
    for (const ClassRow &row : NamedClasses)
        listed[row.code] = true;
    for (int code = 0; code < 256; ++code) {
        if (listed.count(code))
            continue;
        EXPECT_EQ(DeviceClassName(quint8(code)), QStringLiteral("Unbekannt")) << code;
        EXPECT_EQ(PickListClassName(quint8(code)), QString()) << code;
    }
}

TEST(DeviceClass, ForeignSystemNames) {
    EXPECT_EQ(ForeignSystemName(ForeignNone), QString());
    EXPECT_EQ(ForeignSystemName(ForeignEcos), QStringLiteral("ESU ECoS"));
    EXPECT_EQ(ForeignSystemName(ForeignLenz), QStringLiteral("Lenz TCP-Interface"));
    EXPECT_EQ(ForeignSystemName(ForeignCentralStation), QStringLiteral("Central Station"));
    EXPECT_EQ(ForeignSystemName(4), QString());
}
