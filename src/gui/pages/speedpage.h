#pragma once

#include "pages/devicepage.h"
#include "ui_speedpage.h"

// The speed meter page: reads the measuring parameters when the user turns to it, writes
// them with "Programmieren".
class SpeedPage : public FormDevicePage<Ui::SpeedPage> {
    Q_OBJECT
public:
    explicit SpeedPage(QWidget *parent = nullptr);

    void Button3Click();

protected:
    void read() override;
};
