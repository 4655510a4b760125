#pragma once

#include "app/formpage.h"
#include "ui_selectcontrollerpage.h"

#include <QList>

class QPushButton;

// The page of the manual selection: a device kind or an address known beforehand.
class SelectControllerPage : public FormPage<Ui::SelectControllerPage> {
    Q_OBJECT
public:
    explicit SelectControllerPage(QWidget *parent = nullptr);

    // The page was entered: the window's traffic buttons are kept as they are and disabled,
    // and the address to search starts from the new address of the network page.
    void TabSheetSelectControllerShow(const QList<QPushButton *> &buttons,
                                      const QString &newAddress);
    // The page is left without a choice: the buttons return to the states kept.
    void restoreButtons();

    // The chosen kind (-1 for none) and the address typed.
    int selectedIndex() const;
    QString searchAddress() const;

private:
    void rgControllerClick();
    void dxSuchIPChange();

    QList<QPushButton *> m_buttons;
    QList<bool> m_savedStates;
};
