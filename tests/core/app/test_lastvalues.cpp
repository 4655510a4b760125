#include "app/lastvalues.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList portItems = {"11080", "11081", "11082"};

struct PortRow {
    const char *name;
    int portItem;
    const char *current;
    std::optional<QString> shown;
};

class PortAfterLoadTest : public ::testing::TestWithParam<PortRow> {};

TEST_P(PortAfterLoadTest, Rule) {
    const PortRow &row = GetParam();
    EXPECT_EQ(qev::PortAfterLoad(row.portItem, portItems, QString::fromLatin1(row.current)),
              row.shown);
}

INSTANTIATE_TEST_SUITE_P(
    LastValues, PortAfterLoadTest,
    ::testing::Values(PortRow{"FirstItem", 0, "12345", QStringLiteral("11080")},
                      PortRow{"LastItem", 2, "11080", QStringLiteral("11082")},
                      // The default of a missing key lies outside the items.
                      PortRow{"MissingKey", 11080, "11081", std::nullopt},
                      PortRow{"PastTheItems", 3, "11081", std::nullopt},
                      PortRow{"TypedPortEmptiesAnItem", -1, "11081", QString()},
                      PortRow{"TypedPortKeepsATypedPort", -1, "12345", std::nullopt},
                      PortRow{"BelowTyped", -2, "11081", std::nullopt}),
    [](const ::testing::TestParamInfo<PortRow> &row) { return std::string(row.param.name); });

TEST(LastValues, PortItemOfATypedPortIsMinusOne) {
    EXPECT_EQ(qev::PortItemOf(QStringLiteral("11081"), portItems), 1);
    EXPECT_EQ(qev::PortItemOf(QStringLiteral("12345"), portItems), -1);
    EXPECT_EQ(qev::PortItemOf(QString(), portItems), -1);
}

TEST(LastValues, MissingFileGivesTheDefaults) {
    QTemporaryDir dir;
    const qev::LastValues values = qev::ReadLastValues(dir.filePath(QStringLiteral("none.ini")));
    EXPECT_FALSE(values.newAddress);
    EXPECT_FALSE(values.netmask);
    EXPECT_EQ(values.deviceType, 0);
    EXPECT_EQ(values.portItem, 11080);
}

TEST(LastValues, WrittenAndReadBack) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("qev-programmer.ini"));
    qev::LastValues written;
    written.newAddress = QStringLiteral("192.168.0.77");
    written.netmask = QStringLiteral("255.255.255.0");
    written.deviceType = 3;
    written.portItem = -1;
    ASSERT_TRUE(qev::WriteLastValues(file, written));
    const qev::LastValues read = qev::ReadLastValues(file);
    EXPECT_EQ(read.newAddress, written.newAddress);
    EXPECT_EQ(read.netmask, written.netmask);
    EXPECT_EQ(read.deviceType, 3);
    EXPECT_EQ(read.portItem, -1);

    QFile raw(file);
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_TRUE(raw.readAll().contains("[Param]"));
}

TEST(LastValues, UnwritableFileIsReported) {
    QTemporaryDir dir;
    // A folder stands where the file should be.
    const QString file = dir.filePath(QStringLiteral("taken.ini"));
    ASSERT_TRUE(QDir().mkpath(file));
    EXPECT_FALSE(qev::WriteLastValues(file, qev::LastValues{}));
}

} // namespace
