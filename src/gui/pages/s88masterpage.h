#pragma once

#include "pages/devicepage.h"
#include "pages/s88master.h"
#include "ui_s88masterpage.h"

#include <array>

class QSpinBox;

// The S88 bus master page: module counts of the three buses within the device's limit,
// flicker suppression, the bus clock (presets, or the timing fields the user reveals) and
// the read-cycle rate they give.
class S88MasterPage : public FormDevicePage<Ui::S88MasterPage> {
    Q_OBJECT
public:
    explicit S88MasterPage(QWidget *parent = nullptr);

    void deviceIdentified(const qev::CurrentDevice &device,
                          const qev::ClassDispatch &dispatch) override;

    void Button1Click();
    void Button9Click();
    void S88ProfiBtnClick();
    void dxImageTaktChange();

protected:
    void read() override;

private:
    // dxSpinLeftChange, dxSpinMiddleChange, dxSpinRightChange.
    void moduleCountChange();
    // dxSpinClockOnChange, dxSpinClockOffChange, dxSpinPauseChange.
    void timingChange();

    std::array<QSpinBox *, qev::s88master::BusCount> moduleFields() const;
    qev::s88master::Settings settings() const;
    void showSettings(const qev::s88master::Settings &settings);
    // Lowers the counts to the limit, then shows the rate.
    void limitModules(int limit);
    void showRate();
    void setTimingVisible(bool visible);
};
