#include "devicecodes.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace qev {

namespace {

const QString Section = QStringLiteral("Codes/");

bool isAsciiText(const QByteArray &bytes, qsizetype length) {
    if (bytes.size() != length)
        return false;
    for (const char c : bytes) {
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

bool isLetters(const QByteArray &bytes, qsizetype length) {
    if (bytes.size() != length)
        return false;
    for (const char c : bytes) {
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
            return false;
    }
    return true;
}

QString busKey(int set) {
    return Section + QStringLiteral("BoosterBusSet%1").arg(set + 1);
}

// One set is written as two rows of three bytes: "A1B2C3,D4E5F6".
bool parseBusSet(const QString &text, DeviceCodes::BusSet &set) {
    const QStringList rows = text.split(QLatin1Char(','));
    if (rows.size() != 2)
        return false;
    DeviceCodes::BusSet parsed{};
    for (int r = 0; r < 2; ++r) {
        const QByteArray hex = rows[r].trimmed().toLatin1();
        if (hex.size() != 6)
            return false;
        for (int i = 0; i < 3; ++i) {
            bool ok = false;
            const uint value = hex.mid(i * 2, 2).toUInt(&ok, 16);
            if (!ok)
                return false;
            parsed[r][i] = static_cast<quint8>(value);
        }
    }
    set = parsed;
    return true;
}

QString formatBusSet(const DeviceCodes::BusSet &set) {
    QStringList rows;
    for (const auto &row : set) {
        rows << QString::fromLatin1(
            QByteArray(reinterpret_cast<const char *>(row.data()), 3).toHex().toUpper());
    }
    return rows.join(QLatin1Char(','));
}

} // namespace

DeviceCodes DeviceCodes::placeholders() {
    // Shipped stand-ins: they work with qev-devsim. Real devices need the values of their
    // firmware in the settings file.
    DeviceCodes codes;
    codes.accessCodeShort = QByteArrayLiteral("QEV4");
    codes.accessCodeLong = QByteArrayLiteral("QEVCODE8");
    codes.activationCode = QByteArrayLiteral("GO");
    for (int s = 0; s < 5; ++s) {
        for (int r = 0; r < 2; ++r) {
            for (int i = 0; i < 3; ++i)
                codes.boosterBusSets[s][r][i] = static_cast<quint8>(0x10 * (s + 1) + 4 * r + i);
        }
    }
    return codes;
}

DeviceCodes LoadDeviceCodes(const QString &iniPath) {
    DeviceCodes codes = DeviceCodes::placeholders();
    if (iniPath.isEmpty() || !QFileInfo(iniPath).isFile())
        return codes;
    const QSettings ini(iniPath, QSettings::IniFormat);

    const QByteArray shortCode =
        ini.value(Section + QStringLiteral("AccessCode4")).toString().toLatin1();
    if (isAsciiText(shortCode, 4))
        codes.accessCodeShort = shortCode;
    const QByteArray longCode =
        ini.value(Section + QStringLiteral("AccessCode8")).toString().toLatin1();
    if (isAsciiText(longCode, 8))
        codes.accessCodeLong = longCode;
    const QByteArray activation =
        ini.value(Section + QStringLiteral("ActivationCode")).toString().toLatin1();
    if (isLetters(activation, 2))
        codes.activationCode = activation;
    for (int s = 0; s < 5; ++s) {
        // QSettings splits unquoted values at commas; join them back.
        const QString text = ini.value(busKey(s)).toStringList().join(QLatin1Char(','));
        parseBusSet(text, codes.boosterBusSets[s]);
    }
    return codes;
}

bool SaveDeviceCodes(const QString &iniPath, const DeviceCodes &codes) {
    QDir().mkpath(QFileInfo(iniPath).absolutePath());
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.setValue(Section + QStringLiteral("AccessCode4"),
                 QString::fromLatin1(codes.accessCodeShort));
    ini.setValue(Section + QStringLiteral("AccessCode8"),
                 QString::fromLatin1(codes.accessCodeLong));
    ini.setValue(Section + QStringLiteral("ActivationCode"),
                 QString::fromLatin1(codes.activationCode));
    for (int s = 0; s < 5; ++s)
        ini.setValue(busKey(s), formatBusSet(codes.boosterBusSets[s]));
    ini.sync();
    return ini.status() == QSettings::NoError;
}

} // namespace qev
