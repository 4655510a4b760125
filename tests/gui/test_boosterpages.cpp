// The booster list, gateway and booster pages offscreen, on a link whose socket plays a
// script: what each page sends, and what its controls show and allow.

#include "app/messagetext.h"
#include "devicelink/devicelink.h"
#include "fakepagehost.h"
#include "pages/boosterbus.h"
#include "pages/boosternetpage.h"
#include "pages/boosterpage.h"
#include "pages/serialpage.h"
#include "scriptedsocket.h"

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using qevtest::SocketScript;

namespace {

const QString Device = QStringLiteral("192.0.2.10");
constexpr quint16 DevicePort = 11082;

// Every set of the unlock table holds the same row, so every drawn code is 01 02 03 01 02 03.
qev::DeviceCodes sameUnlockRows() {
    qev::DeviceCodes codes = qev::DeviceCodes::placeholders();
    for (auto &set : codes.boosterBusSets)
        set = {{{1, 2, 3}, {1, 2, 3}}};
    return codes;
}

// The script comes first, so that the host's link can take its sockets from it.
struct ScriptHolder {
    SocketScript script;
};

class FakeHost final : private ScriptHolder, public FakePageHost {
public:
    FakeHost()
        : FakePageHost(ScriptHolder::script.factory(), qev::ProtocolPorts{}, sameUnlockRows()) {
        use(Device, DevicePort, 27);
        typeItem = 0;
        answer = true;
        link().setBusyListener([this](bool busy) {
            if (busy)
                ++busyRuns;
        });
    }

    void expect(const char *request, const char *reply) {
        SocketScript &step = script.expect(request, DevicePort, Device);
        if (reply)
            step.reply(reply);
        else
            step.silence();
    }

    using ScriptHolder::script;
    int busyRuns = 0;
};

template <class Page>
void attachAndShow(Page &page, FakeHost &host) {
    page.attach(host);
    page.deviceIdentified(host.link().current(), qev::ClassDispatch{});
    page.show();
    // The page reads once it has settled as the shown page.
    QTRY_VERIFY(host.script.sent().size() > 0 || host.busyRuns > 0);
    QApplication::processEvents();
}

void expectTwoBoosters(FakeHost &host) {
    host.expect("90 91 FF 01", "21 90 91 02 01 01 00 02 02 00");
    host.expect("90 0E 01", "21 90 0E 03 41 62 63");
    host.expect("90 93 01", "21 90 93 00 1E 00 00 00 00 00 1A");
    host.expect("90 0E 02", "21 90 0E 02 53 42");
    host.expect("90 93 02", "21 90 93 00 1E 00 00 00 00 00 23");
    host.expect("90 0D 00", "21 90 0D 01 02 00 1A 2B 3C 4D 5E");
}

TEST(SerialPage, ListRenameAndLeave) {
    FakeHost host;
    SerialPage page;
    Ui::SerialPage &ui = page.ui;
    EXPECT_TRUE(ui.dxDBGrid1->isHidden());
    EXPECT_TRUE(ui.ProgressBar3->isHidden());
    EXPECT_EQ(ui.ProgressBar3->maximum(), 40);
    EXPECT_EQ(page.SerialTimer->interval(), 70);
    EXPECT_FALSE(ui.Button4->isEnabled());

    expectTwoBoosters(host);
    attachAndShow(page, host);
    ASSERT_TRUE(host.script.finished()) << qPrintable(host.script.report());
    EXPECT_EQ(host.outcomes, QStringList{"ok"});
    EXPECT_TRUE(ui.dxDBGrid1->isVisible());
    EXPECT_TRUE(ui.ProgressBar3->isHidden());
    EXPECT_FALSE(page.SerialTimer->isActive());
    const QAbstractItemModel *model = ui.dxDBGrid1->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Adr.");
    EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(), "Seriennummer");
    EXPECT_GE(ui.dxDBGrid1->horizontalHeader()->sectionSize(3), 111);
    EXPECT_EQ(model->index(1, 1).data().toString(), "Schaltbooster");
    EXPECT_EQ(model->index(1, 3).data().toString(), "00:1A:2B:3C:4D:5E");
    EXPECT_EQ(model->index(0, 4).data().toString(), "1.10");

    // A row click fills both names; typing marks the change until the names agree again.
    const QRect second = ui.dxDBGrid1->visualRect(model->index(1, 2));
    QTest::mouseClick(ui.dxDBGrid1->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(ui.dxEdit8->text(), "SB");
    EXPECT_EQ(ui.dxEdit9->text(), "SB");
    EXPECT_TRUE(ui.Label99->isHidden());
    QTest::keyClicks(ui.dxEdit9, "x");
    EXPECT_TRUE(ui.Label99->isVisible());
    EXPECT_TRUE(ui.Button4->isEnabled());
    EXPECT_TRUE(host.boosterBus().list().table().rows()[1].change);
    QTest::keyClick(ui.dxEdit9, Qt::Key_Backspace);
    EXPECT_TRUE(ui.Label99->isHidden());
    EXPECT_FALSE(ui.Button4->isEnabled());
    QTest::keyClicks(ui.dxEdit9, "b");

    // The write: unlock, the name, then the list again (now with a silent bus).
    host.expect("90 F0 00 01 02 03 01 02 03", "21 90 F0");
    host.expect("90 1E 02 03 53 42 62", "21 90 1E");
    host.expect("90 91 FF 01", nullptr);
    host.outcomes.clear();
    QTest::mouseClick(ui.Button4, Qt::LeftButton);
    EXPECT_TRUE(host.script.finished()) << qPrintable(host.script.report());
    EXPECT_EQ(host.outcomes, (QStringList{"ok", "fail"}));
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_TRUE(ui.dxEdit8->text().isEmpty());
    EXPECT_TRUE(ui.dxEdit9->text().isEmpty());
    EXPECT_FALSE(ui.Button4->isEnabled());

    page.hide();
    EXPECT_TRUE(ui.dxDBGrid1->isHidden());
}

// A name longer than a new name may be is no change the user made; the columns fit their
// texts; the heading stays put while the grid is hidden; an empty bus does not keep the
// range of the bus before.
TEST(SerialPage, LongNameColumnsHeadingAndEmptyBus) {
    FakeHost host;
    SerialPage page;
    Ui::SerialPage &ui = page.ui;
    page.resize(500, 400);
    host.expect("90 91 FF 01", "21 90 91 01 05 02 00");
    host.expect("90 0E 05",
                "21 90 0E 14 41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50 51 52 53 54");
    host.expect("90 93 05", nullptr);
    host.expect("90 0D 00", nullptr);
    attachAndShow(page, host);
    ASSERT_TRUE(host.script.finished()) << qPrintable(host.script.report());
    const QAbstractItemModel *model = ui.dxDBGrid1->model();
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(ui.dxDBGrid1->horizontalHeader()->sectionSize(0), 50);
    const QAbstractItemView *grid = ui.dxDBGrid1;
    EXPECT_GE(ui.dxDBGrid1->columnWidth(1), grid->sizeHintForColumn(1));
    EXPECT_GT(ui.dxDBGrid1->columnWidth(1), grid->fontMetrics().horizontalAdvance("Schaltbooster"));

    QTest::mouseClick(ui.dxDBGrid1->viewport(), Qt::LeftButton, {},
                      ui.dxDBGrid1->visualRect(model->index(0, 2)).center());
    EXPECT_EQ(ui.dxEdit8->text(), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(ui.dxEdit9->text(), "ABCDEFGHIJKLMNOP");
    EXPECT_TRUE(ui.Label99->isHidden());
    EXPECT_FALSE(ui.Button4->isEnabled());
    EXPECT_FALSE(host.boosterBus().list().table().rows()[0].change);

    const int headingTop = ui.Label71->y();
    ui.dxDBGrid1->hide();
    QApplication::processEvents();
    EXPECT_EQ(ui.Label71->y(), headingTop);

    host.expect("90 91 FF 01", "21 90 91 00 00");
    QTest::mouseClick(ui.btnBoosterList, Qt::LeftButton);
    ASSERT_TRUE(host.script.finished()) << qPrintable(host.script.report());
    EXPECT_EQ(ui.ProgressBar3->maximum(), 40);
}

TEST(BoosterPages, SharedSettingsReadAndWritten) {
    FakeHost host;
    BoosterNetPage gateway;
    BoosterPage booster;
    gateway.attach(host);
    booster.attach(host);
    gateway.deviceIdentified(host.link().current(), qev::ClassDispatch{});
    booster.deviceIdentified(host.link().current(), qev::ClassDispatch{});
    Ui::BoosterNetPage &g = gateway.ui;
    Ui::BoosterPage &b = booster.ui;
    EXPECT_TRUE(g.dxSpinEdit8->isHidden());
    EXPECT_TRUE(b.dxSpinEdit20->isHidden());
    EXPECT_DOUBLE_EQ(b.dxSpinEdit17->value(), 5.0);
    EXPECT_EQ(b.dxImageEdit2->currentText(), "Normal");

    // The booster page reads the list, the gateway's settings and name, then the
    // sensitivity of the first booster present that answers.
    host.expect("90 91 FF 01", "21 90 91 00 00");
    host.expect("90 99 33 99", "21 90 99 00 01 00 02 00 C4 A0 00 01 00 00 00 03 00 09 00");
    host.expect("60 64", "21 60 64 05 48 61 6C 6C 65");
    host.expect("90 91 FF 00", "21 90 91 02 02 01 00 04 01 00");
    host.expect("90 93 02", nullptr);
    host.expect("90 93 04", "21 90 93 00 23");
    attachAndShow(booster, host);
    ASSERT_TRUE(host.script.finished()) << qPrintable(host.script.report());
    EXPECT_EQ(host.busyRuns, 1); // one busy run for the whole read
    EXPECT_TRUE(g.dxCheckEdit8->isChecked());
    EXPECT_EQ(g.dxEdit5->text(), "3,9");
    EXPECT_EQ(g.dxEdit6->text(), "Halle");
    EXPECT_DOUBLE_EQ(b.dxSpinEdit17->value(), 4.9);
    EXPECT_TRUE(b.dxCheckEdit11->isChecked());
    EXPECT_EQ(b.dxSpinEdit11->value(), 1);
    EXPECT_FALSE(b.dxSpinEdit11->isEnabled());
    EXPECT_EQ(b.dxImageEdit2->currentText(), "35");

    // Only digits, "," and backspace reach the address field.
    g.dxEdit5->clear();
    QTest::keyClicks(g.dxEdit5, "5,a,,200 ,7");
    EXPECT_EQ(g.dxEdit5->text(), "5,,,200,7");
    g.dxEdit5->setText("5,,200,7");
    b.dxImageEdit2->setCurrentIndex(3); // "Flink"

    // Without typing in the name field only the settings go out.
    host.expect("90 99 AC 53 FF 01 00 02 00 C4 A0 14 01 00 00 05 00 00 07 00", "21 90 99");
    QTest::mouseClick(g.Button5, Qt::LeftButton);
    QTest::keyClicks(g.dxEdit6, "2");
    host.expect("90 99 AC 53 FF 01 00 02 00 C4 A0 14 01 00 00 05 00 00 07 00", "21 90 99");
    host.expect("60 63 06 48 61 6C 6C 65 32", "21 60 63");
    QTest::mouseClick(g.Button5, Qt::LeftButton);
    EXPECT_TRUE(host.script.finished()) << qPrintable(host.script.report());
    EXPECT_EQ(host.outcomes, (QStringList{"ok", "ok", "ok"}));

    // The service field: any sensitivity for one write, then the choice again.
    QTest::mouseDClick(b.Label9, Qt::LeftButton);
    EXPECT_FALSE(b.dxSpinEdit1->isHidden());
    EXPECT_FALSE(b.dxImageEdit2->isEnabled());
    b.dxSpinEdit1->setValue(150);
    b.dxCheckEdit11->setChecked(false);
    EXPECT_TRUE(b.dxSpinEdit11->isEnabled());
    host.expect("90 94 55 AA FF 96 31 01 01 00 00", nullptr);
    host.outcomes.clear();
    QTest::mouseClick(b.Button2, Qt::LeftButton);
    EXPECT_EQ(host.outcomes, QStringList{"nodevice"});
    EXPECT_TRUE(b.dxSpinEdit1->isHidden());
    EXPECT_TRUE(b.dxImageEdit2->isEnabled());

    // The new address: "No" sends nothing; "Yes" writes it and adds the new list's rows.
    host.answer = false;
    b.dxSpinEdit9->setValue(9);
    QTest::mouseClick(b.Button14, Qt::LeftButton);
    EXPECT_EQ(host.questions,
              QStringList{MessageText(IDS_103) + "|" + MessageText(IDS_200) + "\r\n" +
                          MessageText(IDS_201) + "\r\n\n" + MessageText(IDS_102)});
    EXPECT_TRUE(host.script.finished()) << qPrintable(host.script.report());
    host.answer = true;
    host.expect("90 95 A0 05 09", "21 90 95");
    host.expect("90 91 FF 01", "21 90 91 01 09 01 00");
    host.expect("90 0E 09", nullptr);
    host.expect("90 93 09", nullptr);
    host.expect("90 0D 00", nullptr);
    host.outcomes.clear();
    QTest::mouseClick(b.Button14, Qt::LeftButton);
    EXPECT_TRUE(host.script.finished()) << qPrintable(host.script.report());
    EXPECT_EQ(host.outcomes, (QStringList{"ok", "ok"}));
    EXPECT_EQ(host.boosterBus().list().rowCount(), 1);
}

TEST(BoosterNetPage, ShowReadsListSettingsAndName) {
    FakeHost host;
    BoosterNetPage page;
    QTest::keyClicks(page.ui.dxEdit6, "alt");
    host.expect("90 91 FF 01", nullptr);
    host.expect("90 99 33 99", "21 90 99 00 01");
    host.expect("60 64", nullptr);
    attachAndShow(page, host);
    EXPECT_TRUE(host.script.finished()) << qPrintable(host.script.report());
    // A short settings reply changes nothing; the name is cleared in any case.
    EXPECT_FALSE(page.ui.dxCheckEdit8->isChecked());
    EXPECT_TRUE(page.ui.dxEdit6->text().isEmpty());
    EXPECT_TRUE(page.ui.dxCheckEdit9->isHidden());
    EXPECT_FALSE(page.ui.gbSchaltbefehle->isHidden());
    EXPECT_EQ(host.outcomes, QStringList{"fail"});
    // The edited mark went with the read: the write sends the settings only.
    host.expect("90 99 AC 53 FF 00 00 02 00 C8 A0 1E 01 08 00 00 00 00 00 00", "21 90 99");
    QTest::mouseClick(page.ui.Button5, Qt::LeftButton);
    EXPECT_TRUE(host.script.finished()) << qPrintable(host.script.report());
}

} // namespace
