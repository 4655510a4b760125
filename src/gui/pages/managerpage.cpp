#include "pages/managerpage.h"

#include "devicelink/devicelink.h"
#include "pages/manager.h"

namespace mgr = qev::manager;

ManagerPage::ManagerPage(QWidget *parent)
    : FormDevicePage(parent) {
    connect(ui.dxCheckEdit6, &QCheckBox::toggled, this, &ManagerPage::dxCheckEdit6Change);
    connect(ui.Button7, &QPushButton::clicked, this,
            [this] { guarded([this] { Button7Click(); }); });
}

void ManagerPage::dxCheckEdit6Change() {
    const bool reserved = ui.dxCheckEdit6->isChecked();
    for (QWidget *widget :
         std::initializer_list<QWidget *>{ui.dxSpinEdit7, ui.dxImageEdit3, ui.Label68, ui.Label69})
        widget->setEnabled(reserved);
}

void ManagerPage::read() {
    ui.dxCheckEdit6->setChecked(false);
    m_readAccepted = false;
    const std::optional<mgr::Settings> s = mgr::RequestSettings(host().link());
    if (!s)
        return;
    m_readAccepted = true;
    ui.dxCheckEdit7->setChecked(s->classicMode);
    ui.dxCheckEdit5->setChecked(s->startStop);
    ui.dxCheckEdit6->setChecked(mgr::BoosterReserved(*s));
    // The field's range shows "none" (0) as 1.
    ui.dxSpinEdit7->setValue(s->boosterAddress);
    ui.dxImageEdit3->setCurrentIndex(s->boosterOutput == mgr::OutputA   ? 0
                                     : s->boosterOutput == mgr::OutputB ? 1
                                                                        : -1);
}

void ManagerPage::Button7Click() {
    mgr::Settings s;
    s.classicMode = ui.dxCheckEdit7->isChecked();
    s.startStop = ui.dxCheckEdit5->isChecked();
    if (ui.dxCheckEdit6->isChecked()) {
        s.boosterAddress = ui.dxSpinEdit7->value();
        const int choice = ui.dxImageEdit3->currentIndex();
        s.boosterOutput = choice < 0 ? mgr::OutputNone : mgr::OutputA + choice;
    }
    host().showOutcome(mgr::WriteSettings(host().link(), s, m_readAccepted));
}
