#pragma once

// The "Netzwerk" page: the device found and its new network settings, judged live as the
// user types, and the last values of the settings file.

#include "app/formpage.h"
#include "devicelink/classdispatch.h"
#include "devicelink/currentdevice.h"
#include "devicelink/identification.h"
#include "devicelink/netsettings.h"
#include "devicelink/replies.h"
#include "ui_networkpage.h"

#include <array>

class QLabel;

class NetworkPage : public FormPage<Ui::NetworkPage> {
    Q_OBJECT
public:
    explicit NetworkPage(QWidget *parent = nullptr);

    // dxIPNeu gets the PC's network part, written as the program's own text.
    void PrefillNewIP(const QString &pcAddress);

    void LoadLastValues(const QString &settingsFile);
    // False when the file could not be written.
    bool SaveLastValues(const QString &settingsFile) const;

    // Writes the device type or the port as the program, each followed by its change rule.
    void setDeviceType(int item);
    void setPortText(const QString &text);

    // Judges the four address entries again (after a language switch).
    void RevalidateEntries();

    // The new settings as they stand; programmingAllowed comes from the current device.
    qev::WriteButtonInput writeButtonInput(bool programmingAllowed) const;
    // The new settings as the network programming takes them.
    qev::NetSettingsInput newSettings() const;

    // The "Gefunden" group: a found device before it is asked anything (the new address is
    // prefilled from the PC's), no device to ask, or emptied for a search.
    void showFound(const qev::DeviceRecord &device, const qev::FoundPresentation &shown,
                   const QString &pcAddress);
    void showNoDevice();
    void clearFoundFields();
    // What the identified class sets here: its name and version, then (after the pages were
    // told of the device) the port and device-type presets.
    void showClass(const qev::ClassDispatch &dispatch, const qev::CurrentDevice &device);
    void applyPresets(const qev::ClassDispatch &dispatch, const qev::CurrentDevice &device);

Q_SIGNALS:
    // The entries changed in a way that may change whether "Programmieren" can be pressed.
    void writeButtonInputChanged();

private:
    void connectHandlers();
    // The found device's address, netmask, MAC, class letter and port.
    std::array<QLineEdit *, 5> deviceFields() const;
    bool judging() const;
    void dxIPNeuChange();
    void foundFieldChange();
    void dxNetmaskChange();
    void optionalAddressChange(QLineEdit *field, QLabel *label);
    void dxPickEdit2Change();
    void dxPickEdit1Change();

    // The tag of dxIPNeu: the program itself writes the field.
    bool m_prefillingNewIP = false;
    // The device type whose port was last preset.
    int m_presetType = -2;
};

// Shows a field's verdict: its colour, and the text of the label beside it.
void ApplyVerdict(QWidget *field, QLabel *label, const qev::FieldVerdict &verdict);
// A verdict label's text; an empty one would be read out with its group's title.
void SetVerdictText(QLabel *label, const QString &text);
