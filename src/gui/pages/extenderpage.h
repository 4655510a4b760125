#pragma once

#include "pages/devicepage.h"
#include "ui_extenderpage.h"

// The extender page: a note that this firmware has no parameters.
class ExtenderPage : public FormDevicePage<Ui::ExtenderPage> {
    Q_OBJECT
public:
    using FormDevicePage::FormDevicePage;
};
