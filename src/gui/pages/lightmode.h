#pragma once

// The on/off mode group that the Classic and the RGB master pages share.

#include "pages/light.h"

class QCheckBox;
class QRadioButton;

struct LightModeControls {
    QRadioButton *lunarra = nullptr;
    QRadioButton *standAlone = nullptr;
    QCheckBox *demo = nullptr;
    QCheckBox *stopOnEnd = nullptr;

    qev::light::Mode mode() const;
    void show(const qev::light::Mode &mode) const;
};
