#include "lastvalues.h"

#include <QSettings>

namespace qev {

namespace {

const QString section = QStringLiteral("Param/");
const QString keyNewAddress = section + QStringLiteral("dxIPNeu");
const QString keyNetmask = section + QStringLiteral("dxNetmask");
const QString keyDeviceType = section + QStringLiteral("dxPickEdit2");
const QString keyPortItem = section + QStringLiteral("dxPickEdit1");

std::optional<QString> readText(const QSettings &settings, const QString &key) {
    if (!settings.contains(key))
        return std::nullopt;
    return settings.value(key).toString();
}

int readInteger(const QSettings &settings, const QString &key, int fallback) {
    bool ok = false;
    const int value = settings.value(key).toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

LastValues ReadLastValues(const QString &settingsFile) {
    const QSettings settings(settingsFile, QSettings::IniFormat);
    LastValues values;
    values.newAddress = readText(settings, keyNewAddress);
    values.netmask = readText(settings, keyNetmask);
    values.deviceType = readInteger(settings, keyDeviceType, values.deviceType);
    values.portItem = readInteger(settings, keyPortItem, values.portItem);
    return values;
}

bool WriteLastValues(const QString &settingsFile, const LastValues &values) {
    QSettings settings(settingsFile, QSettings::IniFormat);
    settings.setValue(keyNewAddress, values.newAddress.value_or(QString()));
    settings.setValue(keyNetmask, values.netmask.value_or(QString()));
    settings.setValue(keyDeviceType, values.deviceType);
    settings.setValue(keyPortItem, values.portItem);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

int PortItemOf(const QString &portText, const QStringList &items) {
    return static_cast<int>(items.indexOf(portText));
}

std::optional<QString> PortAfterLoad(int portItem, const QStringList &items,
                                     const QString &current) {
    if (portItem >= 0 && portItem < items.size())
        return items[portItem];
    // A typed port is not kept; a listed entry would claim a port that was not typed.
    if (portItem == -1 && items.contains(current))
        return QString();
    return std::nullopt;
}

} // namespace qev
