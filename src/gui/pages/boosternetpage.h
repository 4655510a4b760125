#pragma once

#include "pages/devicepage.h"
#include "ui_boosternetpage.h"

class BoosterBus;

// The booster gateway page: the gateway's own settings and its device name.
class BoosterNetPage : public FormDevicePage<Ui::BoosterNetPage> {
    Q_OBJECT
public:
    explicit BoosterNetPage(QWidget *parent = nullptr);

    void deviceIdentified(const qev::CurrentDevice &device,
                          const qev::ClassDispatch &dispatch) override;

protected:
    void read() override;

private:
    // Follows the shared settings; once.
    BoosterBus &bus();
    // The watchdog row stays hidden; the group "Schaltbefehle" is shown.
    void resetLayout();
    void showSettings();
    void nameRead(const QString &name);
    void Button5Click();

    BoosterBus *m_bus = nullptr;
    // Set by typing in dxEdit6: only then does the write send the name.
    bool m_nameEdited = false;
};
