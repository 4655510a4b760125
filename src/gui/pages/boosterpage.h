#pragma once

#include "pages/devicepage.h"
#include "ui_boosterpage.h"

class BoosterBus;

// The booster page: the settings the device writes into all of its boosters, and the
// programming of a new booster address.
class BoosterPage : public FormDevicePage<Ui::BoosterPage> {
    Q_OBJECT
public:
    explicit BoosterPage(QWidget *parent = nullptr);

    void deviceIdentified(const qev::CurrentDevice &device,
                          const qev::ClassDispatch &dispatch) override;

protected:
    void read() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Follows the shared settings; once.
    BoosterBus &bus();
    // The switch-off-delay row stays hidden; the current rows are shown.
    void resetLayout();
    void showSettings();
    // Shows a sensitivity in the choice; a value it does not list is shown as a number.
    void setSensitivity(int value);
    void dxCheckEdit11Change();
    void Label9DblClick();
    void Button2Click();
    void Button14Click();

    BoosterBus *m_bus = nullptr;
};
