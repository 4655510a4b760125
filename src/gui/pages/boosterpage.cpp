#include "pages/boosterpage.h"

#include "app/messagetext.h"
#include "devicelink/devicelink.h"
#include "pages/booster.h"
#include "pages/boosterbus.h"

#include <QEvent>
#include <cmath>

namespace {

// The values of the choice's items, in their order in the form.
constexpr int ListedSensitivities[] = {50, 40, 30, 20, 10};
constexpr int ListedCount = int(std::size(ListedSensitivities));

int tenths(double value) {
    return int(std::lround(value * 10));
}

} // namespace

BoosterPage::BoosterPage(QWidget *parent)
    : FormDevicePage<Ui::BoosterPage>(parent) {
    for (int k = 0; k < ListedCount; ++k)
        ui.dxImageEdit2->setItemData(k, ListedSensitivities[k]);
    ui.dxSpinEdit1->hide();
    ui.Label9->installEventFilter(this);
    resetLayout();

    connect(ui.Button2, &QPushButton::clicked, this,
            [this] { guarded([this] { Button2Click(); }); });
    connect(ui.Button14, &QPushButton::clicked, this,
            [this] { guarded([this] { Button14Click(); }); });
    connect(ui.dxCheckEdit11, &QCheckBox::toggled, this, [this](bool on) {
        bus().settings().pcSwitchesOn = on;
        dxCheckEdit11Change();
    });
    // Each field keeps its value in the shared settings, which the writes send.
    connect(ui.dxSpinEdit17, &QDoubleSpinBox::valueChanged, this,
            [this](double value) { bus().settings().maxCurrentTenths = tenths(value); });
    connect(ui.dxSpinEdit19, &QDoubleSpinBox::valueChanged, this,
            [this](double value) { bus().settings().infoCurrentTenths = tenths(value); });
    connect(ui.dxSpinEdit20, &QDoubleSpinBox::valueChanged, this,
            [this](double value) { bus().settings().delayTenths = tenths(value); });
    connect(ui.dxSpinEdit11, &QSpinBox::valueChanged, this,
            [this](int value) { bus().settings().pauseSeconds = value; });
    connect(ui.dxImageEdit2, &QComboBox::currentIndexChanged, this, [this] {
        bool ok = false;
        const int value = ui.dxImageEdit2->currentData().toInt(&ok);
        bus().settings().sensitivity = ok ? value : qev::boostergateway::DefaultSensitivity;
    });
}

BoosterBus &BoosterPage::bus() {
    if (m_bus)
        return *m_bus;
    m_bus = &host().boosterBus();
    connect(m_bus, &BoosterBus::settingsRead, this, &BoosterPage::showSettings);
    return *m_bus;
}

void BoosterPage::deviceIdentified(const qev::CurrentDevice &, const qev::ClassDispatch &) {
    // The gateway page reads the settings this page shows too.
    bus();
}

void BoosterPage::resetLayout() {
    ui.Label95->hide();
    ui.dxSpinEdit20->hide();
    ui.Label107->hide();
    for (QWidget *shown :
         {static_cast<QWidget *>(ui.Label92), static_cast<QWidget *>(ui.dxSpinEdit17),
          static_cast<QWidget *>(ui.Label96), static_cast<QWidget *>(ui.Label94),
          static_cast<QWidget *>(ui.dxSpinEdit19), static_cast<QWidget *>(ui.Label97)})
        shown->show();
}

void BoosterPage::read() {
    resetLayout();
    qev::DeviceLink &link = host().link();
    const qev::DeviceLink::Busy busy(link);
    bus().readGateway();
    if (const std::optional<int> sensitivity = qev::booster::ReadSensitivity(link))
        setSensitivity(*sensitivity);
    dxCheckEdit11Change();
}

void BoosterPage::showSettings() {
    // The fields hand the same values back to the settings as they change.
    const qev::boostergateway::Settings s = bus().settings();
    ui.dxSpinEdit17->setValue(s.maxCurrentTenths / 10.0);
    ui.dxSpinEdit19->setValue(s.infoCurrentTenths / 10.0);
    ui.dxSpinEdit20->setValue(s.delayTenths / 10.0);
    ui.dxSpinEdit11->setValue(s.pauseSeconds);
    ui.dxCheckEdit11->setChecked(s.pcSwitchesOn);
}

void BoosterPage::setSensitivity(int value) {
    QComboBox *choice = ui.dxImageEdit2;
    while (choice->count() > ListedCount)
        choice->removeItem(ListedCount);
    int index = choice->findData(value);
    if (index < 0) {
        choice->addItem(QString::number(value), value);
        index = ListedCount;
    }
    choice->setCurrentIndex(index);
}

void BoosterPage::dxCheckEdit11Change() {
    const bool automatic = !ui.dxCheckEdit11->isChecked();
    ui.Label91->setEnabled(automatic);
    ui.dxSpinEdit11->setEnabled(automatic);
    ui.Label108->setEnabled(automatic);
}

bool BoosterPage::eventFilter(QObject *watched, QEvent *event) {
    if (watched == ui.Label9 && event->type() == QEvent::MouseButtonDblClick)
        Label9DblClick();
    return FormDevicePage<Ui::BoosterPage>::eventFilter(watched, event);
}

void BoosterPage::Label9DblClick() {
    // Service function: any sensitivity from 10 to 200 for the next write.
    ui.dxSpinEdit1->show();
    ui.dxImageEdit2->setEnabled(false);
}

void BoosterPage::Button2Click() {
    qev::DeviceLink &link = host().link();
    if (link.busy())
        return;
    const int sensitivity =
        ui.dxSpinEdit1->isHidden() ? bus().settings().sensitivity : ui.dxSpinEdit1->value();
    if (qev::booster::WriteSettings(link, sensitivity, bus().settings()))
        host().showOutcome(true);
    else
        host().showNoDevice();
    ui.dxImageEdit2->setEnabled(true);
    ui.dxSpinEdit1->hide();
}

void BoosterPage::Button14Click() {
    qev::DeviceLink &link = host().link();
    if (link.busy())
        return;
    const QString question = MessageText(IDS_200) + QStringLiteral("\r\n") + MessageText(IDS_201) +
                             QStringLiteral("\r\n\n") + MessageText(IDS_102);
    if (!host().confirm(MessageText(IDS_103), question))
        return;
    const qev::DeviceLink::Busy busy(link);
    host().showOutcome(qev::booster::WriteNewAddress(link, quint8(ui.dxSpinEdit9->value())));
    bus().readList(true);
}
