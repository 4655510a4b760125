#pragma once

#include "pages/devicepage.h"
#include "ui_containerpage.h"

// The container page: where the container terminal sends its events. Nothing here is
// exchanged with the device; the fields keep what the user types.
class ContainerPage : public FormDevicePage<Ui::ContainerPage> {
    Q_OBJECT
public:
    explicit ContainerPage(QWidget *parent = nullptr);

protected:
    void changeEvent(QEvent *event) override;

private:
    void fitMethodField();
};
