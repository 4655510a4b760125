#include "pages/s88masterpage.h"

#include "devicelink/devicelink.h"
#include "netinspect/deviceclass.h"

#include <QSignalBlocker>

namespace s88 = qev::s88master;

namespace {

// The Ferrano S88 controller's class: its own page caption.
constexpr quint8 ControllerClass = 17;

// Red and bold, or the window's own text colour and weight.
void setWarning(QWidget *widget, bool warning) {
    QPalette palette;
    if (warning) {
        palette = widget->palette();
        palette.setColor(QPalette::Text, Qt::red);
        palette.setColor(QPalette::ButtonText, Qt::red);
    }
    widget->setPalette(palette);
    QFont font = widget->font();
    font.setBold(warning);
    widget->setFont(font);
}

// A choice's value; an empty choice counts as "Normal".
int flickerOf(const QComboBox *choice) {
    return choice->currentIndex() < 0 ? s88::FlickerNormal : choice->currentIndex();
}

} // namespace

S88MasterPage::S88MasterPage(QWidget *parent)
    : FormDevicePage(parent) {
    setTimingVisible(false);
    for (QSpinBox *field : moduleFields())
        connect(field, &QSpinBox::valueChanged, this, &S88MasterPage::moduleCountChange);
    for (QSpinBox *field : {ui.dxSpinClockOn, ui.dxSpinClockOff, ui.dxSpinPause})
        connect(field, &QSpinBox::valueChanged, this, &S88MasterPage::timingChange);
    connect(ui.dxImageTakt, &QComboBox::currentIndexChanged, this,
            &S88MasterPage::dxImageTaktChange);
    connect(ui.S88ProfiBtn, &QPushButton::clicked, this, &S88MasterPage::S88ProfiBtnClick);
    connect(ui.Button9, &QPushButton::clicked, this, &S88MasterPage::Button9Click);
    connect(ui.Button1, &QPushButton::clicked, this,
            [this] { guarded([this] { Button1Click(); }); });
    timingChange();
}

std::array<QSpinBox *, s88::BusCount> S88MasterPage::moduleFields() const {
    return {ui.dxSpinLeft, ui.dxSpinMiddle, ui.dxSpinRight};
}

void S88MasterPage::deviceIdentified(const qev::CurrentDevice &device,
                                     const qev::ClassDispatch &dispatch) {
    if (dispatch.s88CaptionIsClassName)
        host().setPageCaption(this, qev::DeviceClassName(dispatch.reportedClass));
    if (dispatch.s88ModuleLimit > 0) {
        for (QSpinBox *field : moduleFields())
            field->setMaximum(dispatch.s88ModuleLimit);
    }
    // Counts entered for a device with a higher limit must not reach this one.
    limitModules(s88::ModuleLimit(device.deviceClass));
    const QStringList buses =
        dispatch.busLabels
            ? QStringList{QStringLiteral("Bus 1"), QStringLiteral("Bus 2"), QStringLiteral("Bus 3")}
            : QStringList{QStringLiteral("Bus I"), QStringLiteral("Bus II"),
                          QStringLiteral("Bus III")};
    ui.Label38->setText(buses[0]);
    ui.Label39->setText(buses[1]);
    ui.Label40->setText(buses[2]);
}

void S88MasterPage::read() {
    host().setPageCaption(this, host().link().current().deviceClass == ControllerClass
                                    ? QStringLiteral("S88 Controller")
                                    : QStringLiteral("S88 Master"));
    if (const auto settings = s88::RequestSettings(host().link()))
        showSettings(*settings);
    ui.S88ProfiBtn->show();
    setTimingVisible(false);
}

s88::Settings S88MasterPage::settings() const {
    s88::Settings s;
    s.modules = {ui.dxSpinLeft->value(), ui.dxSpinMiddle->value(), ui.dxSpinRight->value()};
    s.flickerOn = flickerOf(ui.dxImageFlackerOn);
    s.flickerOff = flickerOf(ui.dxImageFlackerOff);
    s.clockOn = ui.dxSpinClockOn->value();
    s.clockOff = ui.dxSpinClockOff->value();
    s.pause = ui.dxSpinPause->value();
    return s;
}

void S88MasterPage::showSettings(const s88::Settings &s) {
    {
        // All eight at once, then the limit and the rate: the result does not depend on
        // the order in which the fields take their values.
        const std::array<QWidget *, 8> fields = {
            ui.dxSpinLeft,        ui.dxSpinMiddle,  ui.dxSpinRight,    ui.dxImageFlackerOn,
            ui.dxImageFlackerOff, ui.dxSpinClockOn, ui.dxSpinClockOff, ui.dxSpinPause};
        std::vector<QSignalBlocker> blockers(fields.begin(), fields.end());
        for (int bus = 0; bus < s88::BusCount; ++bus)
            moduleFields()[bus]->setValue(s.modules[bus]);
        // A level the choice does not offer leaves it empty.
        const auto choose = [](QComboBox *choice, int value) {
            choice->setCurrentIndex(value < choice->count() ? value : -1);
        };
        choose(ui.dxImageFlackerOn, s.flickerOn);
        choose(ui.dxImageFlackerOff, s.flickerOff);
        ui.dxSpinClockOn->setValue(s.clockOn);
        ui.dxSpinClockOff->setValue(s.clockOff);
        ui.dxSpinPause->setValue(s.pause);
    }
    moduleCountChange();
    timingChange();
}

void S88MasterPage::limitModules(int limit) {
    const std::array<int, s88::BusCount> limited = s88::LimitModules(settings().modules, limit);
    for (int bus = 0; bus < s88::BusCount; ++bus) {
        const QSignalBlocker blocker(moduleFields()[bus]);
        moduleFields()[bus]->setValue(limited[bus]);
    }
    showRate();
}

void S88MasterPage::showRate() {
    ui.Label45->setText(QString::number(s88::ReadCyclesPerSecond(settings())));
}

void S88MasterPage::moduleCountChange() {
    limitModules(s88::ModuleLimit(host().link().current().deviceClass));
}

void S88MasterPage::timingChange() {
    setWarning(ui.dxSpinClockOn, ui.dxSpinClockOn->value() < s88::ClockWarningBelow);
    setWarning(ui.dxSpinClockOff, ui.dxSpinClockOff->value() < s88::ClockWarningBelow);
    setWarning(ui.dxSpinPause, ui.dxSpinPause->value() < s88::PauseWarningBelow);
    showRate();
}

void S88MasterPage::dxImageTaktChange() {
    const std::optional<s88::ClockPreset> preset =
        s88::ClockPresetOf(ui.dxImageTakt->currentIndex());
    if (!preset)
        return;
    ui.dxSpinClockOn->setValue(preset->clockOn);
    ui.dxSpinClockOff->setValue(preset->clockOff);
    ui.dxSpinPause->setValue(preset->pause);
    setWarning(ui.dxImageTakt, preset->emphasised);
    ui.S88ProfiBtn->show();
}

void S88MasterPage::S88ProfiBtnClick() {
    ui.S88ProfiBtn->hide();
    setTimingVisible(true);
    ui.dxSpinClockOn->setRange(s88::RevealedClockMin, s88::RevealedClockMax);
    ui.dxSpinClockOff->setRange(s88::RevealedClockMin, s88::RevealedClockMax);
    ui.dxSpinPause->setRange(s88::RevealedPauseMin, s88::RevealedPauseMax);
}

void S88MasterPage::Button9Click() {
    // The "Normal" preset is applied also when it is already selected, so the defaults
    // are the same whatever preset was chosen before.
    {
        const QSignalBlocker blocker(ui.dxImageTakt);
        ui.dxImageTakt->setCurrentIndex(s88::PresetNormal);
    }
    dxImageTaktChange();
    ui.dxImageFlackerOn->setCurrentIndex(s88::FlickerNormal);
    ui.dxImageFlackerOff->setCurrentIndex(s88::FlickerNormal);
}

void S88MasterPage::Button1Click() {
    const s88::Settings values = settings();
    const quint8 variant = s88::VariantForDeviceType(host().deviceTypeItem());
    host().showOutcome(s88::WriteSettings(host().link(), variant, values));
}

void S88MasterPage::setTimingVisible(bool visible) {
    for (QWidget *widget : std::initializer_list<QWidget *>{
             ui.dxSpinClockOn, ui.dxSpinClockOff, ui.dxSpinPause, ui.dxSpinClockOnCaption,
             ui.dxSpinClockOffCaption, ui.dxSpinPauseCaption, ui.dxSpinClockOnUnit,
             ui.dxSpinClockOffUnit, ui.dxSpinPauseUnit})
        widget->setVisible(visible);
}
