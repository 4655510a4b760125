#pragma once

// The page of the Lucento Classic master: on/off mode, the numbers of S-Bus outputs and
// DMX channels, and the S-Bus timing. Clock and latch follow the timing choice; a service
// double click (label, then field) lets them be set by hand until the next save.

#include "pages/devicepage.h"
#include "pages/lightmode.h"
#include "ui_classicpage.h"

class ClassicPage : public FormDevicePage<Ui::ClassicPage> {
    Q_OBJECT
public:
    explicit ClassicPage(QWidget *parent = nullptr);

    void TabSheetClassicShow();
    // The handler of both the timing and the latch-delay choice.
    void edSBusTimingChange();
    void btnClassicSpeichernClick();
    void Label48DblClick();
    void Label86DblClick();
    void edSBusClockDblClick();
    void edSBusLatchDblClick();

protected:
    void read() override { TabSheetClassicShow(); }
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LightModeControls modeControls() const;
    void showSettings(const qev::light::ClassicSettings &settings);
    // Read-only and grey, or editable on the normal background.
    static void setServiceLocked(QSpinBox *field, bool locked);

    bool m_clockArmed = false;
    bool m_latchArmed = false;
};
