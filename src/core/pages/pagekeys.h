#pragma once

// The settings of every class page as named keys: the page and key names, each key's kind,
// range and default (those of the page's fields), and how a page's values are read from and
// written to the current device. The command line's get and set use these names, and so
// will a backup of a device's settings; the names therefore stay as they are.

#include "devicelink/classdispatch.h"

#include <QJsonValue>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>
#include <optional>

namespace qev {
class DeviceLink;
}

namespace qev::pagekeys {

enum class Kind {
    Number, // an integer from min to max
    Tenths, // a decimal with one digit behind the point, kept as tenths from min to max
    Flag,   // yes/no, written "1"/"0" (also "yes"/"no", "true"/"false", "on"/"off")
    Text,   // at most max characters
    Choice, // one of the names of `choices`, each standing for a number
};

struct Choice {
    QString name;
    int value = 0;
};

struct Key {
    QString name;
    Kind kind = Kind::Number;
    int min = 0;
    int max = 0;
    QVariant fallback; // the page's default: int for numbers, tenths and choices, bool, QString
    QList<Choice> choices{};
};

// A page's values by key name: int (numbers, tenths, choices), bool (flags), QString (texts).
using Values = QMap<QString, QVariant>;

class SettingsPage {
public:
    virtual ~SettingsPage() = default;
    QString name() const { return m_name; }
    Page tab() const { return m_tab; }
    const QList<Key> &keys() const { return m_keys; }
    const Key *key(const QString &name) const;

    // Reads the page from the link's current device; nothing when the device did not answer.
    virtual std::optional<Values> read(DeviceLink &link) const = 0;

    enum class Outcome {
        Accepted, // the device acknowledged (the light pages' writes are sent unacknowledged)
        Refused,  // the write got no acknowledgement
        NoAnswer, // the read got no answer: nothing was written
    };
    // Reads the page, gives the keys of `changes` their values and writes the page back, as the
    // window's write button does after the page was shown and edited. deviceTypeItem: the
    // item of the device-type choice the identification preset (-1: none).
    virtual Outcome change(DeviceLink &link, const Values &changes, int deviceTypeItem) const = 0;

protected:
    SettingsPage(QString name, Page tab, QList<Key> keys)
        : m_name(std::move(name))
        , m_tab(tab)
        , m_keys(std::move(keys)) {}

private:
    QString m_name;
    Page m_tab;
    QList<Key> m_keys;
};

// Every page with settings, in the window's page order.
const QList<const SettingsPage *> &Pages();
const SettingsPage *FindPage(const QString &name);
// The pages a dispatched device shows, in page order.
QList<const SettingsPage *> PagesOf(const ClassDispatch &dispatch);

// The value a text stands for, checked against the key's kind and range; nothing when the text
// is not a value of the key.
std::optional<QVariant> ParseValue(const Key &key, const QString &text);
// The text of a value, as ParseValue takes it back.
QString FormatValue(const Key &key, const QVariant &value);
// The value as JSON: numbers, decimals for tenths, true/false, texts, choices by name (a
// value the choice does not offer by its number).
QJsonValue JsonValue(const Key &key, const QVariant &value);
// The allowed values, for messages: "5..200", "0|1", "A|B", "at most 32 characters".
QString RangeText(const Key &key);

} // namespace qev::pagekeys
