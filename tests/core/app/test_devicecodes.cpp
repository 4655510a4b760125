#include "app/devicecodes.h"
#include "app/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qev;

TEST(DeviceCodes, MissingFileGivesPlaceholders) {
    const DeviceCodes codes = LoadDeviceCodes(QStringLiteral("/nonexistent/qev.ini"));
    const DeviceCodes expected = DeviceCodes::placeholders();
    EXPECT_EQ(codes.accessCodeShort.size(), 4);
    EXPECT_EQ(codes.accessCodeLong.size(), 8);
    EXPECT_EQ(codes.activationCode.size(), 2);
    EXPECT_EQ(codes.accessCodeLong, expected.accessCodeLong);
    EXPECT_EQ(codes.boosterBusSets, expected.boosterBusSets);
}

TEST(DeviceCodes, RoundTripAndMalformedEntries) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("qev-programmer.ini"));
    DeviceCodes codes;
    codes.accessCodeShort = "ABCD";
    codes.accessCodeLong = "12345678";
    codes.activationCode = "XY";
    codes.boosterBusSets = DeviceCodes::placeholders().boosterBusSets;
    codes.boosterBusSets[2][1] = {0xDE, 0xAD, 0x01};
    ASSERT_TRUE(SaveDeviceCodes(path, codes));
    const DeviceCodes read = LoadDeviceCodes(path);
    EXPECT_EQ(read.accessCodeShort, "ABCD");
    EXPECT_EQ(read.accessCodeLong, "12345678");
    EXPECT_EQ(read.activationCode, "XY");
    EXPECT_EQ(read.boosterBusSets, codes.boosterBusSets);

    // Wrong lengths, non-letters and broken hex fall back entry by entry.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[Codes]\nAccessCode4=ABCDE\nAccessCode8=87654321\nActivationCode=1Z\n"
               "BoosterBusSet1=GGHHII,000000\nBoosterBusSet2=0A0B0C,0D0E0F\n");
    file.close();
    const DeviceCodes mixed = LoadDeviceCodes(path);
    const DeviceCodes fallback = DeviceCodes::placeholders();
    EXPECT_EQ(mixed.accessCodeShort, fallback.accessCodeShort);
    EXPECT_EQ(mixed.accessCodeLong, "87654321");
    EXPECT_EQ(mixed.activationCode, fallback.activationCode);
    EXPECT_EQ(mixed.boosterBusSets[0], fallback.boosterBusSets[0]);
    const DeviceCodes::BusSet second = {{{0x0A, 0x0B, 0x0C}, {0x0D, 0x0E, 0x0F}}};
    EXPECT_EQ(mixed.boosterBusSets[1], second);
}

TEST(SettingsFile, BesideAWritableProgramElseInTheUsersFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = dir.filePath(QStringLiteral("qev-programmer"));
    EXPECT_EQ(SettingsFilePath(program), program + QStringLiteral(".ini"));
    EXPECT_EQ(ProgrammerSettingsFilePath(dir.filePath(QStringLiteral("qev-devsim"))),
              program + QStringLiteral(".ini"));

    // A folder the user cannot write to: the file moves to the configuration folder,
    // under the same name.
    const QString readOnly = QStringLiteral("/proc/qev-programmer");
    const QString moved = SettingsFilePath(readOnly);
    EXPECT_NE(moved, readOnly + QStringLiteral(".ini"));
    EXPECT_TRUE(moved.endsWith(QStringLiteral("/qev-programmer/qev-programmer.ini")))
        << qPrintable(moved);
}
