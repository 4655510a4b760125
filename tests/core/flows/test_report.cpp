// The collection of the profile report: the phases' texts from the catalogue, the link busy
// throughout, the PC's group first and this program's last. The discovery goes to a silent
// listener on loopback.

#include "flowtest.h"

#include "app/messageid.h"
#include "flows/report.h"

#include <QUdpSocket>

using namespace qev;
using namespace qev::flow;

namespace {

TEST(ReportQuestion, AsksWhetherToSearchTheDisk) {
    const Confirmation question = ScanDiskQuestion();
    EXPECT_EQ(question.captionId, IDS_142);
    EXPECT_EQ(ComposeText(question.text, [](int id) { return QString::number(id); }),
              QStringLiteral("140\r\n\n141"));
}

class ReportFlow : public qevtest::FlowTest {};

TEST_F(ReportFlow, TellsItsPhasesAndKeepsTheLinkBusy) {
    QUdpSocket listener;
    ASSERT_TRUE(listener.bind(QHostAddress::LocalHost, 0));
    host.setLocalIP(QStringLiteral("127.0.0.1"));
    report::ReportSettings settings;
    settings.broadcastAddress = QStringLiteral("127.0.0.1");
    settings.discoveryMs = 100;
    settings.programFile = QStringLiteral(QEV_DEVSIM_PATH);
    settings.programVersion = QStringLiteral("2.21");
    ProtocolPorts ports;
    ports.base = listener.localPort();
    DeviceLink link(ports, DeviceCodes::placeholders(), {}, script.factory());

    QStringList statuses;
    bool busy = true;
    const report::ReportHooks hooks{.status =
                                        [&](const QString &text) {
                                            statuses << text;
                                            busy = busy && link.busy();
                                        },
                                    .step = {},
                                    .pump = {}};
    report::ReportTable table;
    const report::ReportOutcome outcome = CollectProfile(
        table, link, settings, [](int id) { return QStringLiteral("#%1").arg(id); }, hooks);

    EXPECT_EQ(statuses.mid(0, 3), (QStringList{"#145", "#143", "#144"}));
    EXPECT_TRUE(busy);
    EXPECT_FALSE(link.busy());
    EXPECT_TRUE(outcome.discoveryError.isEmpty());
    ASSERT_FALSE(table.rows().isEmpty());
    EXPECT_EQ(table.rows().first().heading, QStringLiteral("Mein PC"));
    EXPECT_TRUE(script.sent().isEmpty()) << "no device answered, so none was asked";
}

} // namespace
