#pragma once

#include "pages/devicepage.h"
#include "ui_serialpage.h"

class BoosterBus;
class QTimer;

// The booster list page: the boosters on the current device's bus, and the renaming of one.
class SerialPage : public FormDevicePage<Ui::SerialPage> {
    Q_OBJECT
public:
    explicit SerialPage(QWidget *parent = nullptr);

    void deviceIdentified(const qev::CurrentDevice &device,
                          const qev::ClassDispatch &dispatch) override;

    // Advances ProgressBar3 while the list is read.
    QTimer *SerialTimer = nullptr;

protected:
    void read() override;
    void retranslate() override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Shows the shared list and follows its reads; once.
    BoosterBus &bus();
    void btnBoosterListClick();
    void Button4Click();
    void dxDBGrid1Click(const QModelIndex &index);
    void dxEdit9Change();
    void dxEdit9KeyPress();
    // A list read replaced the rows: the name being edited belonged to a row that is gone.
    void listReplaced();
    // The grid's usual column widths, or wider where the content needs it.
    void fitColumns();

    BoosterBus *m_bus = nullptr;
    int m_barMaximum = 0; // the bar's range before a bus size is known
};
