// The light controllers' pages against qev-devsim over loopback: a Classic master, an RGB
// master and a booster gateway on 127.0.0.x, the base port moved to a free one.

#include "devicelink/devicelink.h"
#include "devsimrunner.h"
#include "fakepagehost.h"
#include "pages/classicpage.h"
#include "pages/lightpage.h"
#include "pages/rgbpage.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace qevtest;

namespace {

const QString Classic = QStringLiteral("127.0.0.2");
const QString Rgb = QStringLiteral("127.0.0.3");
const QString Gateway = QStringLiteral("127.0.0.4");

class LightLoopback : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ports.base = FreeUdpPort(QHostAddress::AnyIPv4);
        own = FreeUdpPort(QHostAddress::AnyIPv4);
        ASSERT_NE(ports.base, 0);
        ASSERT_NE(own, 0);
        const auto device = [&](int deviceClass, const QString &ip, const QString &extra) {
            return QStringList{QStringLiteral("--device"),
                               QStringLiteral("class=%1,ip=%2,port=%3%4")
                                   .arg(deviceClass)
                                   .arg(ip)
                                   .arg(own)
                                   .arg(extra)};
        };
        ASSERT_TRUE(sim.start(QStringList{QStringLiteral("--base-port"),
                                          QString::number(ports.base), QStringLiteral("--settings"),
                                          dir.filePath(QStringLiteral("codes.ini"))} +
                              device(22, Classic, QStringLiteral(",name=Lichter")) +
                              device(23, Rgb, QString()) + device(27, Gateway, QString())))
            << qPrintable(sim.diagnostics());
        host = std::make_unique<FakePageHost>(qev::openUdpSocket, ports);
    }

    void use(const QString &ip, quint8 deviceClass) {
        host->link().setCurrent({.host = ip, .port = own, .deviceClass = deviceClass});
    }

    template <class Page>
    std::unique_ptr<Page> page() {
        auto p = std::make_unique<Page>();
        p->attach(*host);
        return p;
    }

    QTemporaryDir dir;
    qev::ProtocolPorts ports;
    quint16 own = 0;
    DevsimRunner sim;
    std::unique_ptr<FakePageHost> host;
};

TEST_F(LightLoopback, AllThreePagesKeepWhatTheyWrote) {
    // General page of the Classic master: the value shown apart from the value kept.
    use(Classic, 22);
    auto light = page<LightPage>();
    light->TabSheetLightShow();
    EXPECT_EQ(light->ui.edBoxName->text(), QStringLiteral("Lichter"));
    light->ui.edInnenLed->setValue(120);
    light->ui.btnLichtSpeichern->click();
    light->ui.edInnenLed->setValue(60);
    light->ui.edBoxName->setText(QStringLiteral("Halle 3"));
    light->ui.btnNameSpeichern->click();
    auto lightAgain = page<LightPage>();
    lightAgain->TabSheetLightShow();
    EXPECT_EQ(lightAgain->ui.edInnenLed->value(), 120);
    EXPECT_EQ(lightAgain->ui.edFrontLed->value(), 100);
    EXPECT_EQ(lightAgain->ui.edBoxName->text(), QStringLiteral("Halle 3"));

    // Classic page.
    auto classic = page<ClassicPage>();
    classic->TabSheetClassicShow();
    classic->ui.edSBusAusgang->setValue(150);
    classic->ui.edSBusTiming->setCurrentIndex(2);
    classic->ui.edSBusLatchDelay->setCurrentIndex(2);
    classic->ui.rbLDTAutarkMode->setChecked(true);
    classic->ui.btnClassicSpeichern->click();
    auto classicAgain = page<ClassicPage>();
    classicAgain->TabSheetClassicShow();
    EXPECT_EQ(classicAgain->ui.edSBusAusgang->value(), 150);
    EXPECT_EQ(classicAgain->ui.edSBusClock->value(), 6);
    EXPECT_EQ(classicAgain->ui.edSBusTiming->currentIndex(), 2);
    EXPECT_EQ(classicAgain->ui.edSBusLatchDelay->currentIndex(), 2);
    EXPECT_TRUE(classicAgain->ui.rbLDTAutarkMode->isChecked());

    // RGB page.
    use(Rgb, 23);
    auto rgb = page<RgbPage>();
    rgb->TabSheetRGBShow();
    EXPECT_EQ(rgb->ui.edBus3->value(), 120);
    rgb->ui.edBus3->setValue(240);
    rgb->ui.cbRGBDemo->setChecked(true);
    rgb->ui.btnTGBSpeichern->click();
    auto rgbAgain = page<RgbPage>();
    rgbAgain->TabSheetRGBShow();
    EXPECT_EQ(rgbAgain->ui.edBus3->value(), 240);
    EXPECT_EQ(rgbAgain->ui.edBus4->value(), 120);
    EXPECT_TRUE(rgbAgain->ui.cbRGBDemo->isChecked());

    // The gateway's own form.
    use(Gateway, 27);
    auto gateway = page<LightPage>();
    gateway->ui.edFrontLed->setValue(30);
    gateway->ui.btnLichtSpeichern->click();
    auto gatewayAgain = page<LightPage>();
    gatewayAgain->TabSheetLightShow();
    EXPECT_EQ(gatewayAgain->ui.edFrontLed->value(), 30);

    // Everything went to the base port; the live change of the Classic master kept nothing.
    const QList<DevsimRx> received = sim.rx();
    ASSERT_FALSE(received.isEmpty());
    for (const DevsimRx &rx : received)
        EXPECT_EQ(rx.dstPort, ports.base) << rx.payload.toHex(' ').constData();
    EXPECT_TRUE(std::any_of(received.begin(), received.end(), [](const DevsimRx &rx) {
        return rx.payload == QByteArray::fromHex("6061 52AC 0000 3C FF");
    }));
    EXPECT_TRUE(host->outcomes.isEmpty()) << qPrintable(host->outcomes.join(' '));
}

// A program that sent these commands to the device's own port would get no answer.
TEST_F(LightLoopback, OwnPortDoesNotAnswer) {
    use(Classic, 22);
    EXPECT_TRUE(host->link()
                    .Exchange(qev::light::BuildBrightnessRead,
                              {.port = own, .timeoutMs = 300, .waitMs = 0, .host = {}})
                    .empty());
    EXPECT_FALSE(host->link()
                     .Exchange(qev::light::BuildBrightnessRead,
                               {.port = ports.base, .timeoutMs = 2000, .waitMs = 0, .host = {}})
                     .empty());
}

} // namespace
