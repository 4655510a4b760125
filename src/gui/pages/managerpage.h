#pragma once

#include "pages/devicepage.h"
#include "ui_managerpage.h"

// The manager page: how the manager couples its boosters to the command station, and the
// booster reserved for switching commands.
class ManagerPage : public FormDevicePage<Ui::ManagerPage> {
    Q_OBJECT
public:
    explicit ManagerPage(QWidget *parent = nullptr);

    void dxCheckEdit6Change();
    void Button7Click();

protected:
    void read() override;

private:
    // A write carries the reserved booster only when the device's settings were read at
    // the last showing; otherwise it would overwrite them with what the form guessed.
    bool m_readAccepted = false;
};
