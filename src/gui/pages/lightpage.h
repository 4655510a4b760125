#pragma once

// The general page of the light controllers ("Allgemein"): brightness of the inner light
// and the front LED, shown on the device while the user changes it and kept on "Speichern",
// and the device's name.

#include "pages/devicepage.h"
#include "pages/light.h"
#include "ui_lightpage.h"

#include <array>

class LightPage : public FormDevicePage<Ui::LightPage> {
    Q_OBJECT
public:
    explicit LightPage(QWidget *parent = nullptr);

    // Only the buttons start traffic of their own: the brightness fields stay under the
    // user's hands while their values go out.
    void setTrafficEnabled(bool enabled) override;

    void TabSheetLightShow();
    void edInnenLedChange();
    void edFrontLedChange();
    void btnHellClick();
    void btnDunkelClick();
    void btnLichtSpeichernClick();
    void btnNameSpeichernClick();

protected:
    void read() override { TabSheetLightShow(); }

private:
    QSpinBox *field(qev::light::Lamp lamp) const;
    // The page's own fill: no live send.
    void showBrightness(const qev::light::Brightness &values);
    // A value to show on the device. While the link carries another exchange the value
    // waits; the latest value of a field goes out once the link is free.
    void liveChange(qev::light::Lamp lamp);
    void sendDueValues();
    void applyPreset(const qev::light::Brightness &preset);

    std::array<bool, 2> m_due{};
    bool m_sending = false;
};
