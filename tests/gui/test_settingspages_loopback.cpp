// The speed meter, S88 bus master and manager pages against qev-devsim over loopback: each
// page reads what the device holds, writes the user's values, and reads them back.

#include "devsimrunner.h"
#include "fakepagehost.h"
#include "pages/managerpage.h"
#include "pages/s88masterpage.h"
#include "pages/speedpage.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace qevtest;

namespace {

const QString Speed = QStringLiteral("127.0.0.2");
const QString Master = QStringLiteral("127.0.0.3");
const QString Controller = QStringLiteral("127.0.0.4");
const QString Manager = QStringLiteral("127.0.0.5");
const QString ManagerUnread = QStringLiteral("127.0.0.6");

class SettingsLoopback : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ports.base = FreeUdpPort(QHostAddress::AnyIPv4);
        own = FreeUdpPort(QHostAddress::AnyIPv4);
        ASSERT_NE(ports.base, 0);
        ASSERT_NE(own, 0);
        QStringList arguments{QStringLiteral("--base-port"), QString::number(ports.base),
                              QStringLiteral("--settings"),
                              dir.filePath(QStringLiteral("codes.ini"))};
        for (const QString &spec :
             {QStringLiteral("class=2,ip=%1").arg(Speed),
              QStringLiteral("class=6,version=3.1,ip=%1").arg(Master),
              QStringLiteral("class=17,ip=%1").arg(Controller),
              QStringLiteral("class=3,ip=%1").arg(Manager),
              QStringLiteral("class=3,ip=%1,pagefault=lead:read").arg(ManagerUnread)})
            arguments << QStringLiteral("--device") << spec + QStringLiteral(",port=%1").arg(own);
        ASSERT_TRUE(sim.start(arguments)) << qPrintable(sim.diagnostics());
        host = std::make_unique<FakePageHost>(qev::openUdpSocket, ports);
    }

    // A new page on the device, shown (and so read).
    template <class Page>
    std::unique_ptr<Page> shown(const QString &ip, quint8 deviceClass) {
        host->use(ip, own, deviceClass);
        auto page = std::make_unique<Page>();
        page->attach(*host);
        page->show();
        QApplication::processEvents();
        return page;
    }

    QList<QByteArray> received(const QString &ip) {
        QList<QByteArray> payloads;
        for (const DevsimRx &rx : sim.rx())
            if (rx.dstIp == ip)
                payloads << rx.payload.toHex(' ').toUpper();
        return payloads;
    }

    QTemporaryDir dir;
    qev::ProtocolPorts ports;
    quint16 own = 0;
    DevsimRunner sim;
    std::unique_ptr<FakePageHost> host;
};

TEST_F(SettingsLoopback, EachPageWritesWhatTheNextShowingReads) {
    auto speed = shown<SpeedPage>(Speed, 2);
    EXPECT_EQ(speed->ui.dxEdit1->text(), QStringLiteral("9572"));
    speed->ui.dxEdit1->setText(QStringLiteral("12345"));
    speed->ui.dxSpinEdit2->setValue(50);
    speed->ui.Button3->click();
    speed = shown<SpeedPage>(Speed, 2);
    EXPECT_EQ(speed->ui.dxEdit1->text(), QStringLiteral("12345"));
    EXPECT_EQ(speed->ui.dxSpinEdit2->value(), 50);

    host->typeItem = 0;
    auto master = shown<S88MasterPage>(Master, 6);
    EXPECT_EQ(master->ui.dxSpinLeft->value(), 4);
    master->ui.dxSpinLeft->setValue(10);
    master->ui.dxSpinMiddle->setValue(20);
    master->ui.dxSpinRight->setValue(30);
    master->ui.Button1->click();
    master = shown<S88MasterPage>(Master, 6);
    EXPECT_EQ(master->ui.dxSpinRight->value(), 18);

    host->typeItem = 2;
    auto controller = shown<S88MasterPage>(Controller, 17);
    for (QSpinBox *bus :
         {controller->ui.dxSpinLeft, controller->ui.dxSpinMiddle, controller->ui.dxSpinRight})
        bus->setValue(22);
    controller->ui.Button1->click();
    controller = shown<S88MasterPage>(Controller, 17);
    EXPECT_EQ(controller->ui.dxSpinMiddle->value(), 22);

    auto manager = shown<ManagerPage>(Manager, 3);
    EXPECT_FALSE(manager->ui.dxCheckEdit6->isChecked());
    manager->ui.dxCheckEdit6->setChecked(true);
    manager->ui.dxSpinEdit7->setValue(7);
    manager->ui.dxImageEdit3->setCurrentIndex(1);
    manager->ui.Button7->click();
    manager = shown<ManagerPage>(Manager, 3);
    EXPECT_TRUE(manager->ui.dxCheckEdit6->isChecked());
    EXPECT_EQ(manager->ui.dxSpinEdit7->value(), 7);

    // Its read is answered with a wrong leading byte: the write carries the flags only.
    auto unread = shown<ManagerPage>(ManagerUnread, 3);
    unread->ui.dxCheckEdit7->setChecked(true);
    unread->ui.Button7->click();

    EXPECT_EQ(host->outcomes, (QStringList{"ok", "ok", "ok", "ok", "ok"}));
    EXPECT_EQ(received(Controller),
              (QList<QByteArray>{"32", "34 AA 51 16 16 16 02 02 14 26 0A", "32"}));
    EXPECT_EQ(received(ManagerUnread), (QList<QByteArray>{"99 33 99", "99 AA 55 01 00"}));
    EXPECT_EQ(received(Speed).value(1), QByteArray("04 AA 55 30 39 01 32 28 0F 04 14 01"));
}

} // namespace
