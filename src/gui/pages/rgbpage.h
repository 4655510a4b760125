#pragma once

// The page of the Lucento RGB master: on/off mode and the number of LEDs on each of the
// four D-Buses.

#include "pages/devicepage.h"
#include "pages/lightmode.h"
#include "ui_rgbpage.h"

#include <array>

class RgbPage : public FormDevicePage<Ui::RgbPage> {
    Q_OBJECT
public:
    explicit RgbPage(QWidget *parent = nullptr);

    void TabSheetRGBShow();
    void btnTGBSpeichernClick();

protected:
    void read() override { TabSheetRGBShow(); }

private:
    LightModeControls modeControls() const;
    std::array<QSpinBox *, qev::light::DBusCount> busFields() const;
};
