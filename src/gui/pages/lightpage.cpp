#include "pages/lightpage.h"

#include "devicelink/devicelink.h"

#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTimer>

using qev::light::Lamp;

LightPage::LightPage(QWidget *parent)
    : FormDevicePage<Ui::LightPage>(parent) {
    connect(ui.edInnenLed, &QSpinBox::valueChanged, this,
            [this] { guarded([this] { edInnenLedChange(); }); });
    connect(ui.edFrontLed, &QSpinBox::valueChanged, this,
            [this] { guarded([this] { edFrontLedChange(); }); });
    connect(ui.btnHell, &QPushButton::clicked, this,
            [this] { guarded([this] { btnHellClick(); }); });
    connect(ui.btnDunkel, &QPushButton::clicked, this,
            [this] { guarded([this] { btnDunkelClick(); }); });
    connect(ui.btnLichtSpeichern, &QPushButton::clicked, this,
            [this] { guarded([this] { btnLichtSpeichernClick(); }); });
    connect(ui.btnNameSpeichern, &QPushButton::clicked, this,
            [this] { guarded([this] { btnNameSpeichernClick(); }); });
}

void LightPage::setTrafficEnabled(bool enabled) {
    for (QPushButton *button :
         {ui.btnHell, ui.btnDunkel, ui.btnLichtSpeichern, ui.btnNameSpeichern})
        button->setEnabled(enabled);
    if (enabled && (m_due[0] || m_due[1]))
        QTimer::singleShot(0, this, [this] { guarded([this] { sendDueValues(); }); });
}

QSpinBox *LightPage::field(Lamp lamp) const {
    return lamp == Lamp::Inner ? ui.edInnenLed : ui.edFrontLed;
}

void LightPage::TabSheetLightShow() {
    const qev::light::GeneralValues values = qev::light::ReadGeneral(host().link());
    if (values.brightness)
        showBrightness(*values.brightness);
    if (values.name)
        ui.edBoxName->setText(*values.name);
}

void LightPage::showBrightness(const qev::light::Brightness &values) {
    const QSignalBlocker innerBlocker(ui.edInnenLed);
    const QSignalBlocker frontBlocker(ui.edFrontLed);
    ui.edInnenLed->setValue(values.inner);
    ui.edFrontLed->setValue(values.front);
}

void LightPage::edInnenLedChange() {
    liveChange(Lamp::Inner);
}

void LightPage::edFrontLedChange() {
    liveChange(Lamp::Front);
}

void LightPage::liveChange(Lamp lamp) {
    m_due[std::size_t(lamp)] = true;
    sendDueValues();
}

void LightPage::sendDueValues() {
    // A send already running takes the newest values when its reply is in.
    if (m_sending || host().link().busy())
        return;
    const QScopedValueRollback sending(m_sending, true);
    while (m_due[0] || m_due[1]) {
        for (const Lamp lamp : {Lamp::Inner, Lamp::Front}) {
            bool &due = m_due[std::size_t(lamp)];
            if (!due)
                continue;
            due = false;
            qev::light::SendLive(host().link(), lamp, field(lamp)->value());
        }
    }
}

void LightPage::applyPreset(const qev::light::Brightness &preset) {
    // Each value goes out even when the field held it already: the user asked for it.
    {
        const QSignalBlocker blocker(ui.edInnenLed);
        ui.edInnenLed->setValue(preset.inner);
    }
    liveChange(Lamp::Inner);
    host().link().WaitWithMessages(qev::light::PresetPauseMs);
    {
        const QSignalBlocker blocker(ui.edFrontLed);
        ui.edFrontLed->setValue(preset.front);
    }
    liveChange(Lamp::Front);
}

void LightPage::btnHellClick() {
    applyPreset(qev::light::BrightPreset(host().link().current().deviceClass));
}

void LightPage::btnDunkelClick() {
    applyPreset(qev::light::DarkPreset());
}

void LightPage::btnLichtSpeichernClick() {
    qev::light::SaveBrightness(host().link(), {ui.edInnenLed->value(), ui.edFrontLed->value()});
}

void LightPage::btnNameSpeichernClick() {
    qev::light::SaveName(host().link(), ui.edBoxName->text());
}
