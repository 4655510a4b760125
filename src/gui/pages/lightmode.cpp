#include "pages/lightmode.h"

#include <QCheckBox>
#include <QRadioButton>

qev::light::Mode LightModeControls::mode() const {
    return {standAlone->isChecked(), demo->isChecked(), stopOnEnd->isChecked()};
}

void LightModeControls::show(const qev::light::Mode &mode) const {
    (mode.standAlone ? standAlone : lunarra)->setChecked(true);
    demo->setChecked(mode.demo);
    stopOnEnd->setChecked(mode.stopOnEnd);
}
