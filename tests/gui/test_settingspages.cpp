// The speed meter, S88 bus master, manager, container and extender pages offscreen on a
// scripted socket: what showing the page reads, what the buttons write, the indication,
// and what the class dispatch sets on the S88 page.

#include "devicelink/classdispatch.h"
#include "devicelink/replies.h"
#include "fakepagehost.h"
#include "pages/containerpage.h"
#include "pages/extenderpage.h"
#include "pages/managerpage.h"
#include "pages/s88masterpage.h"
#include "pages/speedpage.h"
#include "scriptedsocket.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>
#include <memory>

using qevtest::SocketScript;

namespace {

const QString Device = QStringLiteral("192.0.2.10");
constexpr quint16 DevicePort = 11082;

// A page of the given form on a scripted device of the given class.
template <class Page>
class OnScript {
public:
    explicit OnScript(quint8 deviceClass) {
        host.use(Device, DevicePort, deviceClass);
        page.attach(host);
    }

    void expect(const char *request, const char *reply) {
        SocketScript &step = script.expect(request, DevicePort, Device);
        if (reply)
            step.reply(reply);
        else
            step.silence();
    }
    // The user turns to the page (again).
    void show() {
        page.hide();
        page.show();
        QApplication::processEvents();
    }
    void checkScript() { EXPECT_TRUE(script.finished()) << qPrintable(script.report()); }

    SocketScript script;
    FakePageHost host{script.factory()};
    Page page;
};

bool drawnAsWarning(const QWidget *widget) {
    return widget->font().bold() && widget->palette().color(QPalette::Text) == QColor(Qt::red);
}

TEST(SpeedPage, ShowReadsTheMeasuringValuesAndKeepsTheTimings) {
    OnScript<SpeedPage> p(2);
    auto &ui = p.page.ui;
    ui.dxSpinEdit14->setValue(8);
    // Switch-off difference 250 is beyond the field: it shows and goes back as 100.
    p.expect("05", "21 05 12 34 00 0A FA 07 01 02 03 04");
    p.show();
    EXPECT_EQ(ui.dxEdit1->text(), QStringLiteral("4660"));
    EXPECT_EQ(ui.dxSpinEdit2->value(), 10);
    EXPECT_EQ(ui.dxSpinEdit4->value(), 100);
    EXPECT_EQ(ui.dxSpinEdit13->value(), 7);
    EXPECT_EQ(ui.dxSpinEdit14->value(), 8);
    EXPECT_EQ(ui.dxSpinEdit15->value(), 20);
    EXPECT_TRUE(ui.dxSpinEdit13->isHidden());
    EXPECT_TRUE(ui.dxSpinEdit13Caption->isHidden());

    ui.dxEdit1->setText(QStringLiteral("abc"));
    p.expect("04 AA 55 15 18 01 0A 64 07 08 14 01", "21 04");
    ui.Button3->click();
    p.expect("04 AA 55 15 18 01 0A 64 07 08 14 01", "21 04 00");
    ui.Button3->click();
    // A reply of another length changes nothing, and reading shows nothing.
    p.expect("05", "21 05 25 64 00 64 28 0F 00 00 00");
    p.show();
    EXPECT_EQ(ui.dxEdit1->text(), QStringLiteral("abc"));
    p.checkScript();
    EXPECT_EQ(p.host.outcomes, (QStringList{"ok", "fail"}));
}

class S88PageTest : public ::testing::Test {
protected:
    // Identification of a device reporting the class and major version, as the window
    // does it: the reply read, then the class dispatched.
    void identify(quint8 reportedClass, quint8 major) {
        const QByteArray bytes = qevtest::hex("21 0F") + QByteArray(1, char(reportedClass)) +
                                 QByteArray(1, char(major)) + QByteArray(1, char(4));
        const std::span reply(reinterpret_cast<const quint8 *>(bytes.constData()),
                              std::size_t(bytes.size()));
        const qev::IdentifyReply id = qev::ReadIdentifyReply(qev::IdentifyForm::Short, reply);
        const qev::ClassDispatch dispatch = qev::DispatchClass(id.deviceClass, reply);
        p->host.use(Device, DevicePort, dispatch.currentClass);
        p->page.deviceIdentified(p->host.link().current(), dispatch);
    }

    std::array<int, 3> modules() const {
        return {ui().dxSpinLeft->value(), ui().dxSpinMiddle->value(), ui().dxSpinRight->value()};
    }
    std::array<int, 3> timing() const {
        return {ui().dxSpinClockOn->value(), ui().dxSpinClockOff->value(),
                ui().dxSpinPause->value()};
    }
    Ui::S88MasterPage &ui() const { return p->page.ui; }

    std::unique_ptr<OnScript<S88MasterPage>> p = std::make_unique<OnScript<S88MasterPage>>(6);
};

TEST_F(S88PageTest, Class6ReadLimitPresetsRevealAndWrite) {
    identify(6, 3);
    EXPECT_EQ(p->host.captions.value(&p->page), QStringLiteral("s88 Master"));
    EXPECT_EQ(ui().Label38->text(), QStringLiteral("Bus I"));
    EXPECT_EQ(ui().dxSpinLeft->maximum(), 48);

    // 40 + 5 + 10 modules: bus 3 lowered to 3.
    p->expect("32", "21 32 28 05 0A 01 03 3C 28 14");
    p->show();
    EXPECT_EQ(p->host.captions.value(&p->page), QStringLiteral("S88 Master"));
    EXPECT_EQ(modules(), (std::array{40, 5, 3}));
    EXPECT_EQ(ui().dxImageFlackerOn->currentIndex(), 1);
    EXPECT_EQ(ui().dxImageFlackerOff->currentIndex(), 3);
    EXPECT_EQ(timing(), (std::array{60, 40, 20}));
    EXPECT_EQ(ui().Label45->text(), QStringLiteral("11")); // 40 × 100 × 16 + 20 000 µs
    EXPECT_TRUE(ui().dxSpinClockOn->isHidden());
    EXPECT_TRUE(ui().dxSpinPauseUnit->isHidden());
    EXPECT_FALSE(ui().S88ProfiBtn->isHidden());

    ui().dxSpinMiddle->setValue(8);
    EXPECT_EQ(modules(), (std::array{40, 8, 0}));

    ui().dxImageTakt->setCurrentIndex(2);
    EXPECT_EQ(timing(), (std::array{20, 20, 10}));
    EXPECT_TRUE(ui().dxImageTakt->font().bold());
    EXPECT_EQ(ui().dxImageTakt->palette().color(QPalette::ButtonText), QColor(Qt::red));
    ui().dxImageTakt->setCurrentIndex(0);
    EXPECT_EQ(timing(), (std::array{60, 60, 20}));
    EXPECT_FALSE(ui().dxImageTakt->font().bold());
    EXPECT_NE(ui().dxImageTakt->palette().color(QPalette::ButtonText), QColor(Qt::red));

    ui().S88ProfiBtn->click();
    EXPECT_TRUE(ui().S88ProfiBtn->isHidden());
    EXPECT_FALSE(ui().dxSpinClockOn->isHidden());
    EXPECT_FALSE(ui().dxSpinPauseCaption->isHidden());
    EXPECT_EQ(ui().dxSpinClockOff->minimum(), 10);
    EXPECT_EQ(ui().dxSpinClockOff->maximum(), 60);
    EXPECT_EQ(ui().dxSpinPause->maximum(), 30);
    ui().dxSpinClockOn->setValue(15);
    EXPECT_TRUE(drawnAsWarning(ui().dxSpinClockOn));
    ui().dxSpinClockOn->setValue(20);
    EXPECT_FALSE(drawnAsWarning(ui().dxSpinClockOn));

    // Defaults with "Normal" already chosen still end at the preset's 38 µs.
    ui().dxImageTakt->setCurrentIndex(1);
    ui().dxSpinClockOff->setValue(50);
    ui().dxImageFlackerOn->setCurrentIndex(0);
    ui().Button9->click();
    EXPECT_EQ(timing(), (std::array{20, 38, 10}));
    EXPECT_EQ(ui().dxImageFlackerOn->currentIndex(), 2);
    EXPECT_EQ(ui().dxImageFlackerOff->currentIndex(), 2);
    EXPECT_EQ(ui().Label45->text(), QStringLiteral("21")); // 40 × 58 × 16 + 10 000 µs

    // Device type "<Auswählen>": variant 55.
    p->host.typeItem = 0;
    p->expect("34 AA 55 28 08 00 02 02 14 26 0A", "21 34");
    ui().Button1->click();
    p->checkScript();
    EXPECT_EQ(p->host.outcomes, QStringList{"ok"});
}

TEST_F(S88PageTest, Class17CaptionLabelsLimitAndVariant) {
    // A class-6 device with major version 7 is the Ferrano controller.
    identify(6, 7);
    EXPECT_EQ(p->host.captions.value(&p->page), QStringLiteral("Ferrano S88-Controller"));
    EXPECT_EQ(ui().Label40->text(), QStringLiteral("Bus 3"));
    EXPECT_EQ(ui().dxSpinRight->maximum(), 66);
    // The labels the dispatch set stay through a language switch.
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&p->page, &change);
    EXPECT_EQ(ui().Label38->text(), QStringLiteral("Bus 1"));

    p->expect("32", "21 32 16 16 16 07 02 14 26 0A");
    p->show();
    EXPECT_EQ(p->host.captions.value(&p->page), QStringLiteral("S88 Controller"));
    EXPECT_EQ(modules(), (std::array{22, 22, 22}));
    // A level the choice does not offer is written as "Normal".
    EXPECT_EQ(ui().dxImageFlackerOn->currentIndex(), -1);

    p->host.typeItem = 2;
    p->expect("34 AA 51 16 16 16 02 02 14 26 0A", nullptr);
    ui().Button1->click();
    p->checkScript();
    EXPECT_EQ(p->host.outcomes, QStringList{"fail"});

    // Back to a plain master: its labels and limit, and the counts within it.
    identify(6, 3);
    EXPECT_EQ(ui().Label38->text(), QStringLiteral("Bus I"));
    EXPECT_EQ(modules(), (std::array{22, 22, 4}));
}

struct ManagerRow {
    const char *name;
    const char *readReply; // nullptr: no answer
    bool classic, startStop, reserved;
    int address;
    int outputIndex;
    const char *write;
};

class ManagerPageRows : public ::testing::TestWithParam<ManagerRow> {};

TEST_P(ManagerPageRows, ReadSetsTheFormAndAnUnchangedWriteSendsIt) {
    const ManagerRow &row = GetParam();
    OnScript<ManagerPage> p(3);
    auto &ui = p.page.ui;
    p.expect("99 33 99", row.readReply);
    p.show();
    EXPECT_EQ(ui.dxCheckEdit7->isChecked(), row.classic);
    EXPECT_EQ(ui.dxCheckEdit5->isChecked(), row.startStop);
    EXPECT_EQ(ui.dxCheckEdit6->isChecked(), row.reserved);
    for (const QWidget *w : std::initializer_list<const QWidget *>{ui.dxSpinEdit7, ui.dxImageEdit3,
                                                                   ui.Label68, ui.Label69})
        EXPECT_EQ(w->isEnabled(), row.reserved) << qPrintable(w->objectName());
    EXPECT_EQ(ui.dxSpinEdit7->value(), row.address);
    EXPECT_EQ(ui.dxImageEdit3->currentIndex(), row.outputIndex);
    p.expect(row.write, "21 99");
    ui.Button7->click();
    p.checkScript();
    EXPECT_EQ(p.host.outcomes, QStringList{"ok"});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ManagerPageRows,
    ::testing::Values(ManagerRow{"ReservedOutputB", "21 99 01 00 05 02", true, false, true, 5, 1,
                                 "99 AA 55 01 00 05 02"},
                      ManagerRow{"OutputThreeNotValid", "21 99 00 01 05 03", false, true, false, 5,
                                 -1, "99 AA 55 00 01 00 00"},
                      ManagerRow{"NoAddressShownAsOne", "21 99 00 00 00 01", false, false, false, 1,
                                 0, "99 AA 55 00 00 00 00"},
                      ManagerRow{"NoAnswerFlagsOnly", nullptr, false, false, false, 1, 0,
                                 "99 AA 55 00 00"},
                      ManagerRow{"SevenByteReplyIgnored", "21 99 01 01 05 02 00", false, false,
                                 false, 1, 0, "99 AA 55 00 00"}),
    [](const testing::TestParamInfo<ManagerRow> &row) { return std::string(row.param.name); });

TEST(ManagerPage, TheUsersChoiceGoesOutAndEveryShowingReadsAgain) {
    OnScript<ManagerPage> p(3);
    auto &ui = p.page.ui;
    p.expect("99 33 99", "21 99 00 00 00 00");
    p.show();
    ui.dxCheckEdit6->setChecked(true);
    EXPECT_TRUE(ui.Label69->isEnabled());
    ui.dxSpinEdit7->setValue(12);
    ui.dxImageEdit3->setCurrentIndex(-1);
    ui.dxCheckEdit7->setChecked(true);
    p.expect("99 AA 55 01 00 0C 00", "21 99 00");
    ui.Button7->click();
    // A showing without an answer unticks the booster and shortens the next write.
    p.expect("99 33 99", nullptr);
    p.show();
    EXPECT_FALSE(ui.dxCheckEdit6->isChecked());
    EXPECT_FALSE(ui.dxSpinEdit7->isEnabled());
    p.expect("99 AA 55 01 00", "21 99");
    ui.Button7->click();
    p.checkScript();
    EXPECT_EQ(p.host.outcomes, (QStringList{"fail", "ok"}));
}

TEST(ContainerPage, SampleValuesAndAButtonThatSendsNothing) {
    OnScript<ContainerPage> p(12);
    auto &ui = p.page.ui;
    p.show();
    EXPECT_TRUE(ui.dxEdit2->text().startsWith(QStringLiteral("192.0.2.")));
    EXPECT_EQ(ui.dxSpinEdit6->value(), 5555);
    EXPECT_EQ(ui.dxSpinEdit6->maximum(), 32767);
    EXPECT_EQ(ui.dxEdit3->text(),
              QStringLiteral("/invoke/kolvex.LogisticManager.http/receiveData"));
    const QString credential = ui.dxEdit4->text().mid(6);
    EXPECT_TRUE(ui.dxEdit4->text().startsWith(QStringLiteral("Basic ")));
    EXPECT_EQ(credential.size(), 28);
    EXPECT_FALSE(QByteArray::fromBase64(credential.toLatin1()).isEmpty());
    ui.Button8->click();
    EXPECT_TRUE(p.script.sent().isEmpty());
    EXPECT_TRUE(p.host.outcomes.isEmpty());
}

TEST(ExtenderPage, ShowsItsNoteAndReadsNothing) {
    OnScript<ExtenderPage> p(7);
    p.show();
    EXPECT_EQ(p.page.ui.lbKeineParameter->text(),
              QStringLiteral("Diese Version kennt keine Parameter"));
    EXPECT_TRUE(p.script.sent().isEmpty());
}

// Every control a user operates is named for assistive technology.
TEST(SettingsPages, EveryControlHasAnAccessibleName) {
    SpeedPage speed;
    S88MasterPage s88;
    ManagerPage manager;
    ContainerPage container;
    for (QWidget *page : std::initializer_list<QWidget *>{&speed, &s88, &manager, &container}) {
        for (QWidget *control : page->findChildren<QWidget *>()) {
            if (!qobject_cast<QSpinBox *>(control) && !qobject_cast<QComboBox *>(control) &&
                !qobject_cast<QLineEdit *>(control) && !qobject_cast<QAbstractButton *>(control))
                continue;
            if (qobject_cast<QLineEdit *>(control) && qobject_cast<QSpinBox *>(control->parent()))
                continue; // the spin box's own editor
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
            ASSERT_NE(face, nullptr);
            EXPECT_FALSE(face->text(QAccessible::Name).isEmpty())
                << qPrintable(control->objectName());
        }
    }
}

} // namespace
