// The light controllers' pages offscreen, their exchanges through a scripted socket: every
// request goes to the base port of the current device, waits 500 ms, and leaves the LED
// and the status text alone.

#include "devicelink/devicelink.h"
#include "fakepagehost.h"
#include "pages/classicpage.h"
#include "pages/lightpage.h"
#include "pages/rgbpage.h"
#include "scriptedsocket.h"

#include <QAccessible>
#include <QLineEdit>
#include <QTest>
#include <QToolTip>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

using namespace qevtest;

namespace {

const QString Device = QStringLiteral("192.0.2.10");
constexpr quint16 BasePort = 11080;
constexpr quint16 DevicePort = 11082; // never used by these pages

struct Step {
    const char *request;
    const char *reply; // nullptr: the device stays silent
};

// A page on a host whose link plays a script.
template <class Page>
class Bench {
public:
    Bench(quint8 deviceClass, const std::vector<Step> &steps)
        : host(script.factory()) {
        for (const Step &step : steps) {
            script.expect(step.request, BasePort, Device);
            if (step.reply)
                script.reply(step.reply);
            else
                script.silence();
        }
        host.link().setCurrent({.host = Device, .port = DevicePort, .deviceClass = deviceClass});
        page.attach(host);
    }

    // Everything scripted went out, each reply waited for at most 500 ms, nothing shown.
    void verify(std::size_t steps) const {
        EXPECT_TRUE(script.finished()) << qPrintable(script.report());
        EXPECT_EQ(script.receiveTimeouts(), QList<int>(qsizetype(steps), 500));
        EXPECT_TRUE(host.outcomes.isEmpty()) << qPrintable(host.outcomes.join(' '));
    }

    SocketScript script;
    FakePageHost host;
    Page page;
};

QString repeated(char c, int n) {
    return QString(n, QLatin1Char(c));
}

// ---------------------------------------------------------------------------------------
// General page

struct LightRow {
    const char *name;
    quint8 deviceClass;
    std::function<void(LightPage &)> act;
    std::vector<Step> steps;
    int inner;
    int front;
    QString boxName; // the page starts with "alt"
};

void readLight(LightPage &p) {
    p.TabSheetLightShow();
}

const std::vector<LightRow> &lightRows() {
    static const std::vector<LightRow> rows = {
        {"gateway_reads_90_9B_only",
         27,
         readLight,
         {{"90 9B 00", "21 90 9B 50 A0 00 00"}},
         80,
         160,
         "alt"},
        {"gateway_reply_of_6_bytes_not_taken",
         16,
         readLight,
         {{"90 9B 00", "21 90 9B 50 A0 00"}},
         100,
         100,
         "alt"},
        {"gateway_saves_90_9B_01",
         27,
         [](LightPage &p) { p.ui.btnLichtSpeichern->click(); },
         {{"90 9B 01 64 64 00", "21 90 9B"}},
         100,
         100,
         "alt"},
        {"gateway_change_sends_60_61",
         27,
         [](LightPage &p) { p.ui.edInnenLed->setValue(105); },
         {{"60 61 52 AC 00 00 69 FF", nullptr}},
         105,
         100,
         "alt"},
        {"reads_brightness_then_name",
         22,
         readLight,
         {{"60 62", "21 60 62 00 46 96 00"}, {"60 64", "21 60 64 05 48 61 6C 6C 65"}},
         70,
         150,
         "Halle"},
        {"value_below_the_range_shows_the_limit",
         24,
         readLight,
         {{"60 62", "21 60 62 00 00 0A 00"}, {"60 64", "21 60 64 00 00 00 00"}},
         5,
         20,
         ""},
        {"brightness_of_another_command_not_taken",
         22,
         readLight,
         {{"60 62", "21 60 63 00 46 96 00"}, {"60 64", "21 60 64 03 41 42 43"}},
         100,
         100,
         "ABC"},
        {"name_length_33_empties_the_name",
         23,
         readLight,
         {{"60 62", nullptr}, {"60 64", "21 60 64 21 41 42 43 44"}},
         100,
         100,
         ""},
        {"name_reply_of_6_bytes_leaves_the_name",
         23,
         readLight,
         {{"60 62", nullptr}, {"60 64", "21 60 64 02 41 42"}},
         100,
         100,
         "alt"},
        {"name_longer_than_its_reply_is_cut",
         23,
         readLight,
         {{"60 62", nullptr}, {"60 64", "21 60 64 20 41 42 43"}},
         100,
         100,
         "ABC"},
        {"bright_preset_class_17",
         17,
         [](LightPage &p) { p.ui.btnHell->click(); },
         {{"60 61 52 AC 00 00 50 FF", "21 60 61"}, {"60 61 52 AC 00 01 C8 FF", "21 60 61"}},
         80,
         200,
         "alt"},
        {"bright_preset_class_22",
         22,
         [](LightPage &p) { p.ui.btnHell->click(); },
         {{"60 61 52 AC 00 00 46 FF", nullptr}, {"60 61 52 AC 00 01 96 FF", nullptr}},
         70,
         150,
         "alt"},
        {"dark_preset_sends_what_the_field_held",
         22,
         [](LightPage &p) {
             p.ui.edFrontLed->setValue(50);
             p.ui.btnDunkel->click();
         },
         {{"60 61 52 AC 00 01 32 FF", nullptr},
          {"60 61 52 AC 00 00 0A FF", nullptr},
          {"60 61 52 AC 00 01 32 FF", nullptr}},
         10,
         50,
         "alt"},
        {"save_keeps_both_lamps",
         24,
         [](LightPage &p) { p.ui.btnLichtSpeichern->click(); },
         {{"60 61 52 AC 01 00 64 FF", nullptr}, {"60 61 52 AC 01 01 64 FF", nullptr}},
         100,
         100,
         "alt"},
        {"name_write",
         22,
         [](LightPage &p) {
             p.ui.edBoxName->setText(QStringLiteral("Bahnhof"));
             p.ui.btnNameSpeichern->click();
         },
         {{"60 63 07 42 61 68 6E 68 6F 66", nullptr}},
         100,
         100,
         "Bahnhof"},
        {"name_field_takes_32_characters",
         22,
         [](LightPage &p) {
             p.ui.edBoxName->setText(repeated('x', 40));
             p.ui.btnNameSpeichern->click();
         },
         {{"60 63 20 78 78 78 78 78 78 78 78 78 78 78 78 78 78 78 78 78 78 78 78 78 78 78 78 78 "
           "78 78 78 78 78 78 78",
           nullptr}},
         100,
         100,
         repeated('x', 32)},
    };
    return rows;
}

class LightTable : public testing::TestWithParam<std::size_t> {};

TEST_P(LightTable, Row) {
    const LightRow &row = lightRows()[GetParam()];
    Bench<LightPage> bench(row.deviceClass, row.steps);
    bench.page.ui.edBoxName->setText(QStringLiteral("alt"));
    row.act(bench.page);
    bench.verify(row.steps.size());
    EXPECT_EQ(bench.page.ui.edInnenLed->value(), row.inner);
    EXPECT_EQ(bench.page.ui.edFrontLed->value(), row.front);
    EXPECT_EQ(bench.page.ui.edBoxName->text(), row.boxName);
}

INSTANTIATE_TEST_SUITE_P(GeneralPage, LightTable,
                         testing::Range<std::size_t>(0, lightRows().size()),
                         [](const auto &row) { return lightRows()[row.param].name; });

// ---------------------------------------------------------------------------------------
// Classic master page

struct ClassicState {
    int outputs, dmx, clock, latch, timing, delay;
    bool standAlone, demo, inactive;
};

struct ClassicRow {
    const char *name;
    std::function<void(ClassicPage &)> act;
    std::vector<Step> steps;
    ClassicState after;
};

void readClassic(ClassicPage &p) {
    p.TabSheetClassicShow();
}

// The page as it starts: defaults of the form.
constexpr ClassicState ClassicDefaults{100, 20, 4, 4, 1, 0, false, false, false};

const std::vector<ClassicRow> &classicRows() {
    static const std::vector<ClassicRow> rows = {
        {"read_fills_choices_and_mode",
         readClassic,
         {{"61 90", "21 61 90 96 0A 06 06 02"}, {"60 94", "21 60 94 00 00 01 01 00"}},
         {150, 10, 6, 6, 2, 2, true, true, false}},
        {"clock_3_selects_no_timing_and_keeps_what_was_read",
         readClassic,
         {{"61 90", "21 61 90 50 0A 03 05 01"}, {"60 94", nullptr}},
         {80, 10, 3, 5, -1, 1, false, false, false}},
        {"latch_delay_20_leaves_the_choice",
         [](ClassicPage &p) {
             p.ui.edSBusLatchDelay->setCurrentIndex(2);
             p.TabSheetClassicShow();
         },
         {{"61 90", "21 61 90 50 0A 02 02 14"}, {"60 94", nullptr}},
         {80, 10, 2, 2, 0, 2, false, false, false}},
        {"reply_of_4_bytes_reads_zeros_behind",
         readClassic,
         {{"61 90", "21 61 90 96"}, {"60 94", "21 60 94 00"}},
         {150, 0, 1, 1, -1, 0, false, false, false}},
        {"reply_of_3_bytes_not_taken",
         readClassic,
         {{"61 90", "21 61 90"}, {"60 94", "21 60 94"}},
         ClassicDefaults},
        {"mode_0_after_mode_1_selects_lunarra",
         [](ClassicPage &p) {
             p.ui.rbLDTAutarkMode->setChecked(true);
             p.ui.cbLDTInaktiv->setChecked(true);
             p.TabSheetClassicShow();
         },
         {{"61 90", nullptr}, {"60 94", "21 60 94 00 00 00 00 00"}},
         ClassicDefaults},
        {"save_sends_delay_of_the_choice",
         [](ClassicPage &p) {
             p.ui.edSBusLatchDelay->setCurrentIndex(2);
             p.ui.cbLDTDemo->setChecked(true);
             p.ui.btnClassicSpeichern->click();
         },
         {{"61 91 64 14 04 04 3C", nullptr}, {"60 95 52 AC 00 00 01 00", nullptr}},
         {100, 20, 4, 4, 1, 2, false, true, false}},
        {"save_with_no_delay_choice_sends_0",
         [](ClassicPage &p) {
             p.ui.edSBusLatchDelay->setCurrentIndex(-1);
             p.ui.rbLDTAutarkMode->setChecked(true);
             p.ui.btnClassicSpeichern->click();
         },
         {{"61 91 64 14 04 04 00", nullptr}, {"60 95 52 AC 00 01 00 00", nullptr}},
         {100, 20, 4, 4, 1, -1, true, false, false}},
        {"outputs_above_255_stop_at_255",
         [](ClassicPage &p) {
             p.ui.edSBusAusgang->setValue(400);
             p.ui.btnClassicSpeichern->click();
         },
         {{"61 91 FF 14 04 04 00", nullptr}, {"60 95 52 AC 00 00 00 00", nullptr}},
         {255, 20, 4, 4, 1, 0, false, false, false}},
        {"typed_outputs_above_255_are_refused_with_the_reason",
         [](ClassicPage &p) {
             p.show();
             p.ui.edSBusAusgang->findChild<QLineEdit *>()->selectAll();
             QTest::keyClicks(p.ui.edSBusAusgang, "300");
             EXPECT_TRUE(QToolTip::isVisible());
             EXPECT_EQ(QToolTip::text(), p.ui.edSBusAusgang->toolTip());
             EXPECT_TRUE(QToolTip::text().contains("255"));
         },
         {},
         {30, 20, 4, 4, 1, 0, false, false, false}},
        {"timing_choice_sets_clock_and_latch",
         [](ClassicPage &p) { p.ui.edSBusTiming->setCurrentIndex(0); },
         {},
         {100, 20, 2, 2, 0, 0, false, false, false}},
        {"latch_delay_choice_reapplies_the_timing",
         [](ClassicPage &p) {
             p.ui.edSBusTiming->setCurrentIndex(2);
             p.ui.edSBusClock->setValue(9);
             p.ui.edSBusLatchDelay->setCurrentIndex(1);
         },
         {},
         {100, 20, 6, 6, 2, 1, false, false, false}},
    };
    return rows;
}

class ClassicTable : public testing::TestWithParam<std::size_t> {};

TEST_P(ClassicTable, Row) {
    const ClassicRow &row = classicRows()[GetParam()];
    Bench<ClassicPage> bench(22, row.steps);
    row.act(bench.page);
    bench.verify(row.steps.size());
    const Ui::ClassicPage &ui = bench.page.ui;
    const ClassicState &e = row.after;
    EXPECT_EQ(ui.edSBusAusgang->value(), e.outputs);
    EXPECT_EQ(ui.edDMXAusgang->value(), e.dmx);
    EXPECT_EQ(ui.edSBusClock->value(), e.clock);
    EXPECT_EQ(ui.edSBusLatch->value(), e.latch);
    EXPECT_EQ(ui.edSBusTiming->currentIndex(), e.timing);
    EXPECT_EQ(ui.edSBusLatchDelay->currentIndex(), e.delay);
    EXPECT_EQ(ui.rbLDTAutarkMode->isChecked(), e.standAlone);
    EXPECT_EQ(ui.rbLDTLUMode->isChecked(), !e.standAlone);
    EXPECT_EQ(ui.cbLDTDemo->isChecked(), e.demo);
    EXPECT_EQ(ui.cbLDTInaktiv->isChecked(), e.inactive);
}

INSTANTIATE_TEST_SUITE_P(ClassicPage, ClassicTable,
                         testing::Range<std::size_t>(0, classicRows().size()),
                         [](const auto &row) { return classicRows()[row.param].name; });

// ---------------------------------------------------------------------------------------
// RGB master page

struct RgbRow {
    const char *name;
    std::function<void(RgbPage &)> act;
    std::vector<Step> steps;
    std::array<int, 4> counts;
    bool standAlone;
};

void readRgb(RgbPage &p) {
    p.TabSheetRGBShow();
}

const std::vector<RgbRow> &rgbRows() {
    static const std::vector<RgbRow> rows = {
        {"read_counts_and_mode",
         readRgb,
         {{"62 92", "21 92 3C 78 B4 F0"}, {"60 94", "21 60 94 00 00 01 00 00"}},
         {60, 120, 180, 240},
         true},
        {"reply_of_4_bytes_zeros_bus_3_and_4",
         readRgb,
         {{"62 92", "21 92 3C 78"}, {"60 94", nullptr}},
         {60, 120, 0, 0},
         false},
        {"reply_of_3_bytes_not_taken",
         readRgb,
         {{"62 92", "21 92 3C"}, {"60 94", nullptr}},
         {120, 120, 120, 120},
         false},
        {"count_above_the_range_shows_the_limit",
         readRgb,
         {{"62 92", "21 92 FA 00 3C 3C"}, {"60 94", nullptr}},
         {240, 0, 60, 60},
         false},
        {"save_counts_and_mode",
         [](RgbPage &p) {
             p.ui.edBus2->setValue(180);
             p.ui.cbRGBInaktiv->setChecked(true);
             p.ui.btnTGBSpeichern->click();
         },
         {{"62 93 78 B4 78 78", nullptr}, {"60 95 52 AC 00 00 00 01", nullptr}},
         {120, 180, 120, 120},
         false},
    };
    return rows;
}

class RgbTable : public testing::TestWithParam<std::size_t> {};

TEST_P(RgbTable, Row) {
    const RgbRow &row = rgbRows()[GetParam()];
    Bench<RgbPage> bench(23, row.steps);
    row.act(bench.page);
    bench.verify(row.steps.size());
    const Ui::RgbPage &ui = bench.page.ui;
    EXPECT_EQ((std::array<int, 4>{ui.edBus1->value(), ui.edBus2->value(), ui.edBus3->value(),
                                  ui.edBus4->value()}),
              row.counts);
    EXPECT_EQ(ui.rbRGBAutarkMode->isChecked(), row.standAlone);
    EXPECT_EQ(ui.rbRGBLUMode->isChecked(), !row.standAlone);
}

INSTANTIATE_TEST_SUITE_P(RgbPage, RgbTable, testing::Range<std::size_t>(0, rgbRows().size()),
                         [](const auto &row) { return rgbRows()[row.param].name; });

// ---------------------------------------------------------------------------------------
// Wiring

// Every control the user operates has a name a screen reader can say.
void expectAccessibleNames(QWidget &page) {
    for (QWidget *w : page.findChildren<QWidget *>()) {
        // A spin box speaks for its inner text field.
        if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(&page) ||
            qobject_cast<QAbstractSpinBox *>(w->parentWidget()))
            continue;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << qPrintable(w->objectName());
    }
}

// The page shown reads; a change by the user is sent at once, the fill of the read is not;
// a change made while a send waits for its reply goes out when that reply is in, and the
// fields stay usable meanwhile while the buttons that start other traffic do not.
TEST(LightPageWiring, ShownPageReadsAndChangesGoOutLive) {
    Bench<LightPage> bench(22, {{"60 62", "21 60 62 00 46 96 00"},
                                {"60 64", "21 60 64 03 41 42 43"},
                                {"60 61 52 AC 00 00 4B FF", nullptr},
                                {"60 61 52 AC 00 00 55 FF", "21 60 61"}});
    LightPage &page = bench.page;
    bench.host.link().setBusyListener([&](bool busy) { page.setTrafficEnabled(!busy); });
    page.show();
    QTRY_COMPARE(page.ui.edBoxName->text(), QStringLiteral("ABC"));
    EXPECT_EQ(page.ui.edInnenLed->value(), 70);

    bool changedInFlight = false;
    qev::InstallWindowPump([&] {
        if (changedInFlight)
            return;
        changedInFlight = true;
        EXPECT_TRUE(page.ui.edInnenLed->isEnabled());
        EXPECT_TRUE(page.ui.edFrontLed->isEnabled());
        EXPECT_FALSE(page.ui.btnLichtSpeichern->isEnabled());
        EXPECT_FALSE(page.ui.btnHell->isEnabled());
        page.ui.edInnenLed->setValue(80);
        page.ui.edInnenLed->setValue(85);
    });
    page.ui.edInnenLed->setValue(75);
    qev::InstallWindowPump({});
    EXPECT_TRUE(changedInFlight);
    EXPECT_TRUE(page.ui.btnLichtSpeichern->isEnabled());
    bench.verify(4);
    expectAccessibleNames(page);
}

// Clock and latch open to a double click on their label and then on the field, and close
// again on saving.
TEST(ClassicPageWiring, ServiceDoubleClicksUnlockClockAndLatch) {
    Bench<ClassicPage> bench(
        22, {{"61 91 64 14 04 04 00", nullptr}, {"60 95 52 AC 00 00 00 00", nullptr}});
    ClassicPage &page = bench.page;
    page.show();
    QLineEdit *clockText = page.ui.edSBusClock->findChild<QLineEdit *>();
    QLineEdit *latchText = page.ui.edSBusLatch->findChild<QLineEdit *>();
    const QColor grey = page.ui.edSBusClock->palette().color(QPalette::Base);

    // A screen reader hears the state too.
    const auto readOnlyHeard = [](QWidget *field) {
        return QAccessible::queryAccessibleInterface(field)->state().readOnly;
    };
    EXPECT_TRUE(readOnlyHeard(page.ui.edSBusClock));
    EXPECT_TRUE(readOnlyHeard(page.ui.edSBusLatch));
    EXPECT_FALSE(readOnlyHeard(page.ui.edSBusAusgang));
    QTest::mouseDClick(clockText, Qt::LeftButton);
    EXPECT_TRUE(page.ui.edSBusClock->isReadOnly()) << "the field alone does not unlock";
    QTest::mouseDClick(page.ui.Label48, Qt::LeftButton);
    EXPECT_TRUE(page.ui.edSBusClock->isReadOnly());
    QTest::mouseDClick(clockText, Qt::LeftButton);
    EXPECT_FALSE(page.ui.edSBusClock->isReadOnly());
    EXPECT_FALSE(readOnlyHeard(page.ui.edSBusClock));
    EXPECT_NE(page.ui.edSBusClock->palette().color(QPalette::Base), grey);
    EXPECT_TRUE(page.ui.edSBusLatch->isReadOnly());

    QTest::mouseDClick(page.ui.Label86, Qt::LeftButton);
    QTest::mouseDClick(latchText, Qt::LeftButton);
    EXPECT_FALSE(page.ui.edSBusLatch->isReadOnly());

    // The arming is used up: locked again by the save, one more field click does nothing.
    QTest::mouseClick(page.ui.btnClassicSpeichern, Qt::LeftButton);
    QTest::mouseDClick(clockText, Qt::LeftButton);
    EXPECT_TRUE(page.ui.edSBusClock->isReadOnly());
    EXPECT_TRUE(page.ui.edSBusLatch->isReadOnly());
    EXPECT_TRUE(readOnlyHeard(page.ui.edSBusClock));
    EXPECT_EQ(page.ui.edSBusClock->palette().color(QPalette::Base), grey);
    bench.verify(2);
    expectAccessibleNames(page);
}

TEST(RgbPageWiring, ShownPageReadsAndSaveWrites) {
    Bench<RgbPage> bench(23, {{"62 92", "21 92 00 3C 78 B4"},
                              {"60 94", "21 60 94 00 00 00 01 01"},
                              {"62 93 00 3C 78 B4", nullptr},
                              {"60 95 52 AC 00 00 01 01", nullptr}});
    RgbPage &page = bench.page;
    page.show();
    QTRY_VERIFY(page.ui.cbRGBDemo->isChecked());
    EXPECT_TRUE(page.ui.cbRGBInaktiv->isChecked());
    EXPECT_EQ(page.ui.edBus4->value(), 180);
    QTest::mouseClick(page.ui.btnTGBSpeichern, Qt::LeftButton);
    bench.verify(4);
    expectAccessibleNames(page);
}

} // namespace
