#include "pages/rgbpage.h"

#include "devicelink/devicelink.h"

#include <QPushButton>

RgbPage::RgbPage(QWidget *parent)
    : FormDevicePage<Ui::RgbPage>(parent) {
    connect(ui.btnTGBSpeichern, &QPushButton::clicked, this,
            [this] { guarded([this] { btnTGBSpeichernClick(); }); });
}

LightModeControls RgbPage::modeControls() const {
    return {ui.rbRGBLUMode, ui.rbRGBAutarkMode, ui.cbRGBDemo, ui.cbRGBInaktiv};
}

std::array<QSpinBox *, qev::light::DBusCount> RgbPage::busFields() const {
    return {ui.edBus1, ui.edBus2, ui.edBus3, ui.edBus4};
}

void RgbPage::TabSheetRGBShow() {
    const qev::light::RgbValues values = qev::light::ReadRgb(host().link());
    if (values.counts) {
        for (std::size_t i = 0; i < values.counts->size(); ++i)
            busFields()[i]->setValue((*values.counts)[i]);
    }
    if (values.mode)
        modeControls().show(*values.mode);
}

void RgbPage::btnTGBSpeichernClick() {
    qev::light::LedCounts counts{};
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = busFields()[i]->value();
    qev::light::SaveRgb(host().link(), counts, modeControls().mode());
}
