#include "pages/boosternetpage.h"

#include "devicelink/devicelink.h"
#include "pages/boosterbus.h"

#include <QRegularExpressionValidator>

BoosterNetPage::BoosterNetPage(QWidget *parent)
    : FormDevicePage<Ui::BoosterNetPage>(parent) {
    // The values of start/stop and the watchdog are kept, never shown.
    ui.dxCheckEdit9->hide();
    resetLayout();
    ui.dxEdit5->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,]*")), ui.dxEdit5));

    connect(ui.dxEdit6, &QLineEdit::textEdited, this, [this] { m_nameEdited = true; });
    connect(ui.Button5, &QPushButton::clicked, this,
            [this] { guarded([this] { Button5Click(); }); });
    // Each field keeps its value in the shared settings, which the writes send.
    connect(ui.dxCheckEdit8, &QCheckBox::toggled, this,
            [this](bool on) { bus().settings().startAll = on; });
    connect(ui.dxCheckEdit9, &QCheckBox::toggled, this,
            [this](bool on) { bus().settings().startStopSwitches = on; });
    connect(ui.dxSpinEdit8, &QSpinBox::valueChanged, this,
            [this](int value) { bus().settings().watchdogSeconds = value; });
    connect(ui.dxCheckEdit10, &QCheckBox::toggled, this,
            [this](bool on) { bus().settings().stopStation = on; });
    connect(ui.dxCheckEdit13, &QCheckBox::toggled, this,
            [this](bool on) { bus().settings().switchingOnly = on; });
    connect(ui.dxEdit5, &QLineEdit::textChanged, this,
            [this](const QString &text) { bus().settings().addresses = text; });
}

BoosterBus &BoosterNetPage::bus() {
    if (m_bus)
        return *m_bus;
    m_bus = &host().boosterBus();
    connect(m_bus, &BoosterBus::settingsRead, this, &BoosterNetPage::showSettings);
    connect(m_bus, &BoosterBus::nameRead, this, &BoosterNetPage::nameRead);
    return *m_bus;
}

void BoosterNetPage::deviceIdentified(const qev::CurrentDevice &, const qev::ClassDispatch &) {
    // The booster page reads the gateway settings and name for this page too.
    bus();
}

void BoosterNetPage::resetLayout() {
    ui.Label89->hide();
    ui.dxSpinEdit8->hide();
    ui.Label90->hide();
    ui.gbSchaltbefehle->show();
}

void BoosterNetPage::read() {
    resetLayout();
    bus().readGateway();
}

void BoosterNetPage::showSettings() {
    // The fields hand the same values back to the settings as they change.
    const qev::boostergateway::Settings s = bus().settings();
    ui.dxCheckEdit8->setChecked(s.startAll);
    ui.dxCheckEdit9->setChecked(s.startStopSwitches);
    ui.dxSpinEdit8->setValue(s.watchdogSeconds);
    ui.dxCheckEdit10->setChecked(s.stopStation);
    ui.dxCheckEdit13->setChecked(s.switchingOnly);
    ui.dxEdit5->setText(s.addresses);
}

void BoosterNetPage::nameRead(const QString &name) {
    ui.dxEdit6->setText(name);
    m_nameEdited = false;
}

void BoosterNetPage::Button5Click() {
    qev::DeviceLink &link = host().link();
    if (link.busy())
        return;
    std::optional<QString> name;
    if (m_nameEdited)
        name = ui.dxEdit6->text();
    const bool accepted = qev::boostergateway::WriteSettings(link, bus().settings(), name);
    if (name)
        m_nameEdited = false;
    host().showOutcome(accepted);
}
