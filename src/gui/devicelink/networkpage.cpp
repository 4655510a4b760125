#include "devicelink/networkpage.h"

#include "app/errordisplay.h"
#include "app/fieldcolours.h"
#include "app/lastvalues.h"
#include "app/messagetext.h"
#include "devicelink/identification.h"
#include "netinspect/arp.h"
#include "netinspect/deviceclass.h"
#include "netinspect/ipv4.h"

#include <QSignalBlocker>

namespace {

QStringList itemTexts(const QComboBox &list) {
    QStringList texts;
    for (int k = 0; k < list.count(); ++k)
        texts << list.itemText(k);
    return texts;
}

} // namespace

void ApplyVerdict(QWidget *field, QLabel *label, const qev::FieldVerdict &verdict) {
    PaintField(field, verdict.colour);
    SetVerdictText(label, verdict.messageId != 0 ? MessageText(verdict.messageId) : QString());
    label->setVisible(verdict.labelVisible);
}

void SetVerdictText(QLabel *label, const QString &text) {
    label->setText(text);
    label->setAccessibleName(text.isEmpty() ? NetworkPage::tr("Keine Meldung") : text);
}

NetworkPage::NetworkPage(QWidget *parent)
    : FormPage<Ui::NetworkPage>(parent) {
    for (QLabel *verdict : {ui.lbIPAdresse, ui.lbNetzmaske, ui.lbIPGateway, ui.lbIPBroker})
        SetVerdictText(verdict, verdict->text());
    connectHandlers();
}

void NetworkPage::connectHandlers() {
    const auto guarded = [this](void (NetworkPage::*handler)()) {
        return [this, handler] {
            RunGuarded(window(), [this, handler] { (this->*handler)(); });
        };
    };
    connect(ui.dxIPNeu, &QLineEdit::textChanged, this, guarded(&NetworkPage::dxIPNeuChange));
    // The found fields share the handler of the new address.
    for (QLineEdit *field : {ui.dxMaskEdit8, ui.dxMaskEdit9, ui.dxMaskEdit10, ui.dxMaskEdit2,
                             ui.dxMaskEdit5, ui.dxMaskEdit3, ui.dxMaskEdit4, ui.dxMaskEdit6})
        connect(field, &QLineEdit::textChanged, this, guarded(&NetworkPage::foundFieldChange));
    connect(ui.dxNetmask, &QLineEdit::textChanged, this, guarded(&NetworkPage::dxNetmaskChange));
    connect(ui.dxIPGateway, &QLineEdit::textChanged, this, [this] {
        RunGuarded(window(), [this] { optionalAddressChange(ui.dxIPGateway, ui.lbIPGateway); });
    });
    connect(ui.dxIPBroker, &QLineEdit::textChanged, this, [this] {
        RunGuarded(window(), [this] { optionalAddressChange(ui.dxIPBroker, ui.lbIPBroker); });
    });
    connect(ui.dxPickEdit2, &QComboBox::currentIndexChanged, this,
            guarded(&NetworkPage::dxPickEdit2Change));
    connect(ui.dxPickEdit1, &QComboBox::currentTextChanged, this,
            guarded(&NetworkPage::dxPickEdit1Change));
}

// The entries are judged only while the window is shown, as the user sees them.
bool NetworkPage::judging() const {
    return window()->isVisible();
}

void NetworkPage::PrefillNewIP(const QString &pcAddress) {
    m_prefillingNewIP = true;
    ui.dxIPNeu->setText(qev::PcNetworkPrefix(pcAddress));
    m_prefillingNewIP = false;
}

void NetworkPage::LoadLastValues(const QString &settingsFile) {
    ui.btnLastValue->hide();
    const qev::LastValues values = qev::ReadLastValues(settingsFile);
    if (values.newAddress)
        ui.dxIPNeu->setText(*values.newAddress);
    if (values.netmask)
        ui.dxNetmask->setText(*values.netmask);
    setDeviceType(values.deviceType);
    if (const std::optional<QString> port = qev::PortAfterLoad(
            values.portItem, itemTexts(*ui.dxPickEdit1), ui.dxPickEdit1->currentText()))
        setPortText(*port);
}

bool NetworkPage::SaveLastValues(const QString &settingsFile) const {
    qev::LastValues values;
    values.newAddress = ui.dxIPNeu->text();
    values.netmask = ui.dxNetmask->text();
    values.deviceType = ui.dxPickEdit2->currentIndex();
    values.portItem = qev::PortItemOf(ui.dxPickEdit1->currentText(), itemTexts(*ui.dxPickEdit1));
    return qev::WriteLastValues(settingsFile, values);
}

void NetworkPage::dxIPNeuChange() {
    if (!judging())
        return;
    const qev::NewAddressVerdict v =
        qev::ValidateNewIP(ui.dxIPNeu->text(), m_prefillingNewIP, &qev::Ping);
    ApplyVerdict(ui.dxIPNeu, ui.lbIPAdresse, v.field);
    if (v.hideLastValue)
        ui.btnLastValue->hide();
    Q_EMIT writeButtonInputChanged();
    {
        const QSignalBlocker block(ui.dxNetmask);
        ui.dxNetmask->setText(v.netmask);
    }
    dxNetmaskChange();
    dxPickEdit2Change();
}

// The program writes the found fields; only what the user types into dxIPNeu withdraws
// the last values.
void NetworkPage::foundFieldChange() {
    const bool tagged = m_prefillingNewIP;
    m_prefillingNewIP = true;
    dxIPNeuChange();
    m_prefillingNewIP = tagged;
}

void NetworkPage::dxNetmaskChange() {
    if (!judging())
        return;
    ApplyVerdict(ui.dxNetmask, ui.lbNetzmaske,
                 qev::ValidateNetmask(ui.dxIPNeu->text(), ui.dxNetmask->text()));
    Q_EMIT writeButtonInputChanged();
}

// The gateway and the broker may stay empty; a typed address is checked as it grows.
void NetworkPage::optionalAddressChange(QLineEdit *field, QLabel *label) {
    if (!judging())
        return;
    const qev::FieldVerdict v = qev::ValidateOptionalAddress(field->text(), &qev::Ping);
    ApplyVerdict(field, label, v);
    if (v.reevaluateWriteButton)
        Q_EMIT writeButtonInputChanged();
}

void NetworkPage::dxPickEdit2Change() {
    if (!judging())
        return;
    const int type = ui.dxPickEdit2->currentIndex();
    qev::DeviceTypeEffect e = qev::DeviceTypeChanged(type, ui.dxPickEdit1->currentText());
    ui.dxPickEdit1->setVisible(e.portFieldVisible);
    ui.Label78->setVisible(!e.portFieldVisible);
    // The rule runs again whenever the new address changes; only a new device type brings
    // its port. Otherwise the port a device reported, or one the user typed, would be
    // replaced while the user types the address, and the device moved off its port.
    const bool newType = type != m_presetType;
    m_presetType = type;
    if (e.portText && newType)
        setPortText(*e.portText);
    else if (e.portText)
        e.label78 = QLatin1Char('(') + ui.dxPickEdit1->currentText() + QLatin1Char(')');
    ui.Label78->setText(e.label78);
    PaintField(ui.dxPickEdit2, e.colour);
    Q_EMIT writeButtonInputChanged();
}

void NetworkPage::dxPickEdit1Change() {
    if (!judging())
        return;
    PaintField(ui.dxPickEdit1, qev::PortFieldColour(ui.dxPickEdit1->currentText()));
}

void NetworkPage::setDeviceType(int item) {
    {
        const QSignalBlocker block(ui.dxPickEdit2);
        ui.dxPickEdit2->setCurrentIndex(item >= 0 && item < ui.dxPickEdit2->count() ? item : -1);
    }
    dxPickEdit2Change();
}

void NetworkPage::setPortText(const QString &text) {
    {
        const QSignalBlocker block(ui.dxPickEdit1);
        const int item = ui.dxPickEdit1->findText(text);
        if (item >= 0)
            ui.dxPickEdit1->setCurrentIndex(item);
        ui.dxPickEdit1->setEditText(text);
    }
    dxPickEdit1Change();
}

qev::WriteButtonInput NetworkPage::writeButtonInput(bool programmingAllowed) const {
    const qev::NetSettingsInput in = newSettings();
    return {programmingAllowed, in.address, in.mask, in.gateway, in.broker, in.port, in.deviceType};
}

void NetworkPage::RevalidateEntries() {
    dxIPNeuChange();
    dxNetmaskChange();
    optionalAddressChange(ui.dxIPGateway, ui.lbIPGateway);
    optionalAddressChange(ui.dxIPBroker, ui.lbIPBroker);
}

std::array<QLineEdit *, 5> NetworkPage::deviceFields() const {
    return {ui.dxMaskEdit2, ui.dxMaskEdit3, ui.dxMaskEdit4, ui.dxMaskEdit5, ui.dxMaskEdit6};
}

qev::NetSettingsInput NetworkPage::newSettings() const {
    qev::NetSettingsInput in;
    in.address = ui.dxIPNeu->text();
    in.mask = ui.dxNetmask->text();
    in.gateway = ui.dxIPGateway->text();
    in.broker = ui.dxIPBroker->text();
    in.port = ui.dxPickEdit1->currentText();
    in.deviceType = ui.dxPickEdit2->currentIndex();
    return in;
}

void NetworkPage::showFound(const qev::DeviceRecord &device, const qev::FoundPresentation &shown,
                            const QString &pcAddress) {
    for (QLineEdit *field : deviceFields())
        field->setEnabled(true);
    ui.dxPickEdit2->setEnabled(true);
    ui.dxMaskEdit2->setText(device.address);
    ui.dxMaskEdit5->setText(shown.classLetter);
    ui.dxIPNeu->clear();
    PrefillNewIP(pcAddress);

    ui.dxMaskEdit3->setText(device.netmask);
    ui.dxMaskEdit4->setText(qev::FormatMac(device.mac));
    ui.dxMaskEdit6->setText(QString::number(device.port));
    setPortText(QString::number(device.port));
    PaintField(ui.dxMaskEdit2, shown.addressColour);
}

void NetworkPage::showNoDevice() {
    for (QLineEdit *field : deviceFields()) {
        field->clear();
        field->setEnabled(false);
    }
    ui.dxMaskEdit8->clear();
    ui.dxMaskEdit9->clear();
    ui.dxPickEdit2->setEnabled(true);
}

void NetworkPage::clearFoundFields() {
    for (QLineEdit *field : {ui.dxMaskEdit8, ui.dxMaskEdit9, ui.dxMaskEdit10, ui.dxMaskEdit2,
                             ui.dxMaskEdit5, ui.dxMaskEdit3, ui.dxMaskEdit4, ui.dxMaskEdit6})
        field->clear();
    ui.LabelCID->clear();
}

void NetworkPage::showClass(const qev::ClassDispatch &d, const qev::CurrentDevice &device) {
    ui.dxMaskEdit8->setText(d.known ? qev::DeviceClassName(d.reportedClass) : MessageText(IDS_114));
    if (d.version == qev::VersionDisplay::Shown)
        ui.dxMaskEdit9->setText(device.versionText());
}

void NetworkPage::applyPresets(const qev::ClassDispatch &d, const qev::CurrentDevice &device) {
    for (const qev::PickStep &step : d.pickSteps) {
        switch (step.kind) {
        case qev::PickStep::PortItem:
            setPortText(ui.dxPickEdit1->itemText(step.item));
            break;
        case qev::PickStep::PortCurrent:
            setPortText(QString::number(device.port));
            break;
        case qev::PickStep::TypeItem:
            setDeviceType(step.item);
            break;
        }
    }
    if (!d.deviceTypeEnabled)
        ui.dxPickEdit2->setEnabled(false);
}
