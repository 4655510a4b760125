#include "pages/speedpage.h"

#include "devicelink/devicelink.h"
#include "pages/speedmeter.h"

namespace sm = qev::speedmeter;

SpeedPage::SpeedPage(QWidget *parent)
    : FormDevicePage(parent) {
    connect(ui.Button3, &QPushButton::clicked, this,
            [this] { guarded([this] { Button3Click(); }); });
}

void SpeedPage::read() {
    const std::optional<sm::Reading> reading = sm::RequestSettings(host().link());
    if (!reading)
        return;
    // The pause and the measuring time are not reported; they keep what the user set.
    ui.dxEdit1->setText(QString::number(reading->calibration));
    ui.dxSpinEdit2->setValue(reading->threshold);
    ui.dxSpinEdit4->setValue(reading->switchOff);
    ui.dxSpinEdit13->setValue(reading->contrast);
}

void SpeedPage::Button3Click() {
    sm::Settings settings;
    settings.measuring.calibration = sm::CalibrationFromText(ui.dxEdit1->text());
    settings.measuring.threshold = ui.dxSpinEdit2->value();
    settings.measuring.switchOff = ui.dxSpinEdit4->value();
    settings.measuring.contrast = ui.dxSpinEdit13->value();
    settings.pause = ui.dxSpinEdit14->value();
    settings.maxTime = ui.dxSpinEdit15->value();
    host().showOutcome(sm::WriteSettings(host().link(), settings));
}
