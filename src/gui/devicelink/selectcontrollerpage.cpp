#include "devicelink/selectcontrollerpage.h"

#include "app/errordisplay.h"
#include "devicelink/networkpage.h"
#include "devicelink/selection.h"

#include <QPushButton>

SelectControllerPage::SelectControllerPage(QWidget *parent)
    : FormPage<Ui::SelectControllerPage>(parent) {
    QAbstractButton *const items[] = {
        ui.rgControllerItem0, ui.rgControllerItem1, ui.rgControllerItem2,
        ui.rgControllerItem3, ui.rgControllerItem4, ui.rgControllerItem5,
        ui.rgControllerItem6, ui.rgControllerItem7, ui.rgControllerItem8};
    for (int k = 0; k < qev::ManualItemCount; ++k) {
        ui.rgControllerButtons->setId(items[k], k);
        connect(items[k], &QAbstractButton::clicked, this,
                [this] { RunGuarded(window(), [this] { rgControllerClick(); }); });
    }
    connect(ui.dxSuchIP, &QLineEdit::textChanged, this,
            [this] { RunGuarded(window(), [this] { dxSuchIPChange(); }); });
}

void SelectControllerPage::TabSheetSelectControllerShow(const QList<QPushButton *> &buttons,
                                                        const QString &newAddress) {
    m_buttons = buttons;
    m_savedStates.clear();
    for (QPushButton *button : buttons) {
        m_savedStates.append(button->isEnabled());
        button->setEnabled(false);
    }
    if (ui.dxSuchIP->text().isEmpty())
        ui.dxSuchIP->setText(newAddress);
}

void SelectControllerPage::restoreButtons() {
    for (qsizetype k = 0; k < m_buttons.size(); ++k)
        m_buttons[k]->setEnabled(m_savedStates[k]);
}

int SelectControllerPage::selectedIndex() const {
    return ui.rgControllerButtons->checkedId();
}

QString SelectControllerPage::searchAddress() const {
    return ui.dxSuchIP->text();
}

void SelectControllerPage::rgControllerClick() {
    ui.btnControllerOk->setEnabled(true);
}

void SelectControllerPage::dxSuchIPChange() {
    // Only while the main window is visible.
    if (!window()->isVisible())
        return;
    const qev::SearchAddressVerdict v = qev::ValidateSearchIP(ui.dxSuchIP->text());
    ApplyVerdict(ui.dxSuchIP, ui.lbSuchIP, v.field);
    if (v.enableOk)
        ui.btnControllerOk->setEnabled(true);
    if (v.clearSelection) {
        // An exclusive group keeps one button checked; let go of it for a moment.
        ui.rgControllerButtons->setExclusive(false);
        for (QAbstractButton *item : ui.rgControllerButtons->buttons())
            item->setChecked(false);
        ui.rgControllerButtons->setExclusive(true);
    }
    ui.lbSuchIP->setVisible(true);
}
