#include "pages/pagekeys.h"

#include "devicelink/devicelink.h"
#include "pages/booster.h"
#include "pages/boostergateway.h"
#include "pages/light.h"
#include "pages/manager.h"
#include "pages/s88master.h"
#include "pages/speedmeter.h"

#include <QRegularExpression>
#include <functional>

namespace qev::pagekeys {

namespace {

// A page whose keys are fields of the values struct V of its core module.
template <class V>
class BoundPage final : public SettingsPage {
public:
    struct Field {
        Key key;
        std::function<QVariant(const V &)> get;
        std::function<void(V &, const QVariant &)> set;
    };
    using Reader = std::function<std::optional<V>(DeviceLink &)>;
    // changes: the keys given, for pages that write a part only when it was changed.
    using Writer = std::function<SettingsPage::Outcome(DeviceLink &, const V &,
                                                       const Values &changes, int deviceTypeItem)>;

    BoundPage(QString name, Page tab, QList<Field> fields, Reader reader, Writer writer)
        : SettingsPage(std::move(name), tab, keysOf(fields))
        , m_fields(std::move(fields))
        , m_read(std::move(reader))
        , m_write(std::move(writer)) {}

    std::optional<Values> read(DeviceLink &link) const override {
        const DeviceLink::Busy busy(link);
        const std::optional<V> read = m_read(link);
        if (!read)
            return std::nullopt;
        Values values;
        for (const Field &field : m_fields)
            values.insert(field.key.name, field.get(*read));
        return values;
    }

    Outcome change(DeviceLink &link, const Values &changes, int deviceTypeItem) const override {
        const DeviceLink::Busy busy(link);
        std::optional<V> values = m_read(link);
        if (!values)
            return Outcome::NoAnswer;
        for (const Field &field : m_fields) {
            if (changes.contains(field.key.name))
                field.set(*values, changes.value(field.key.name));
        }
        return m_write(link, *values, changes, deviceTypeItem);
    }

private:
    static QList<Key> keysOf(const QList<Field> &fields) {
        QList<Key> keys;
        for (const Field &field : fields)
            keys << field.key;
        return keys;
    }

    QList<Field> m_fields;
    Reader m_read;
    Writer m_write;
};

using Outcome = SettingsPage::Outcome;

Outcome verdict(bool accepted) {
    return accepted ? Outcome::Accepted : Outcome::Refused;
}

// Field helpers: a key bound to a member of V (or of a struct inside V).
template <class V, class M>
typename BoundPage<V>::Field number(const QString &name, int min, int max, int fallback,
                                    M V::*member) {
    return {Key{name, Kind::Number, min, max, fallback},
            [member](const V &v) { return QVariant(int(v.*member)); },
            [member](V &v, const QVariant &value) {
                v.*member = M(value.toInt());
            }};
}

template <class V>
typename BoundPage<V>::Field flag(const QString &name, bool V::*member) {
    return {Key{name, Kind::Flag, 0, 1, false},
            [member](const V &v) { return QVariant(v.*member); },
            [member](V &v, const QVariant &value) {
                v.*member = value.toBool();
            }};
}

template <class V>
typename BoundPage<V>::Field field(Key key, std::function<QVariant(const V &)> get,
                                   std::function<void(V &, const QVariant &)> set) {
    return {std::move(key), std::move(get), std::move(set)};
}

// The on/off mode of both light masters.
template <class V>
QList<typename BoundPage<V>::Field> modeFields() {
    const auto modeFlag = [](const QString &name, bool light::Mode::*member) {
        return field<V>(
            Key{name, Kind::Flag, 0, 1, false},
            [member](const V &v) { return QVariant(v.mode.*member); },
            [member](V &v, const QVariant &value) { v.mode.*member = value.toBool(); });
    };
    return {modeFlag(QStringLiteral("stand-alone"), &light::Mode::standAlone),
            modeFlag(QStringLiteral("demo"), &light::Mode::demo),
            modeFlag(QStringLiteral("stop-on-end"), &light::Mode::stopOnEnd)};
}

const SettingsPage *speedPage() {
    namespace sm = speedmeter;
    static const BoundPage<sm::Settings> page(
        QStringLiteral("speed"), Page::TabSheetSpeed,
        {field<sm::Settings>(
             Key{QStringLiteral("calibration"), Kind::Number, 0, 65535, 9572},
             [](const sm::Settings &s) { return QVariant(int(s.measuring.calibration)); },
             [](sm::Settings &s, const QVariant &v) {
                 s.measuring.calibration = quint16(v.toInt());
             }),
         field<sm::Settings>(
             Key{QStringLiteral("threshold"), Kind::Number, 5, 200, 100},
             [](const sm::Settings &s) { return QVariant(s.measuring.threshold); },
             [](sm::Settings &s, const QVariant &v) { s.measuring.threshold = v.toInt(); }),
         field<sm::Settings>(
             Key{QStringLiteral("switch-off"), Kind::Number, 5, 100, 40},
             [](const sm::Settings &s) { return QVariant(s.measuring.switchOff); },
             [](sm::Settings &s, const QVariant &v) { s.measuring.switchOff = v.toInt(); }),
         field<sm::Settings>(
             Key{QStringLiteral("contrast"), Kind::Number, 5, 15, 15},
             [](const sm::Settings &s) { return QVariant(s.measuring.contrast); },
             [](sm::Settings &s, const QVariant &v) { s.measuring.contrast = v.toInt(); }),
         // The device does not report these two; a read gives their defaults.
         number(QStringLiteral("pause"), 1, 40, 4, &sm::Settings::pause),
         number(QStringLiteral("max-time"), 1, 40, 20, &sm::Settings::maxTime)},
        [](DeviceLink &link) -> std::optional<sm::Settings> {
            const std::optional<sm::Reading> reading = sm::RequestSettings(link);
            if (!reading)
                return std::nullopt;
            return sm::Settings{*reading};
        },
        [](DeviceLink &link, const sm::Settings &s, const Values &, int) {
            return verdict(sm::WriteSettings(link, s));
        });
    return &page;
}

const SettingsPage *s88Page() {
    namespace s88 = s88master;
    const QList<Choice> flicker = {{QStringLiteral("off"), s88::FlickerOff},
                                   {QStringLiteral("short"), s88::FlickerShort},
                                   {QStringLiteral("normal"), s88::FlickerNormal},
                                   {QStringLiteral("long"), s88::FlickerLong}};
    const auto bus = [](int index, int fallback) {
        return field<s88::Settings>(
            Key{QStringLiteral("bus%1").arg(index + 1), Kind::Number, 0, 66, fallback},
            [index](const s88::Settings &s) { return QVariant(s.modules[std::size_t(index)]); },
            [index](s88::Settings &s, const QVariant &v) {
                s.modules[std::size_t(index)] = v.toInt();
            });
    };
    static const BoundPage<s88::Settings> page(
        QStringLiteral("s88"), Page::TabSheetS88Master,
        {bus(0, 4), bus(1, 0), bus(2, 0),
         field<s88::Settings>(
             Key{QStringLiteral("flicker-on"), Kind::Choice, 0, 3, s88::FlickerNormal, flicker},
             [](const s88::Settings &s) { return QVariant(s.flickerOn); },
             [](s88::Settings &s, const QVariant &v) { s.flickerOn = v.toInt(); }),
         field<s88::Settings>(
             Key{QStringLiteral("flicker-off"), Kind::Choice, 0, 3, s88::FlickerNormal, flicker},
             [](const s88::Settings &s) { return QVariant(s.flickerOff); },
             [](s88::Settings &s, const QVariant &v) { s.flickerOff = v.toInt(); }),
         number(QStringLiteral("clock-on"), 1, 250, 20, &s88::Settings::clockOn),
         number(QStringLiteral("clock-off"), 1, 250, 38, &s88::Settings::clockOff),
         number(QStringLiteral("pause"), 10, 50, 10, &s88::Settings::pause)},
        [](DeviceLink &link) { return s88::RequestSettings(link); },
        [](DeviceLink &link, s88::Settings s, const Values &, int deviceTypeItem) {
            // No bus holds more modules than the device class allows (the fields' maximum),
            // nor do the buses together.
            const int limit = s88::ModuleLimit(link.current().deviceClass);
            for (int &modules : s.modules)
                modules = qMin(modules, limit);
            s.modules = s88::LimitModules(s.modules, limit);
            const quint8 variant = s88::VariantForDeviceType(deviceTypeItem);
            return verdict(s88::WriteSettings(link, variant, s));
        });
    return &page;
}

const SettingsPage *managerPage() {
    namespace mgr = manager;
    // The reserved booster is a part of the settings only while it is switched on.
    struct Values_ {
        mgr::Settings settings;
        bool reserved = false;
        int address = 1;
        int output = mgr::OutputA;
    };
    static const BoundPage<Values_> page(
        QStringLiteral("manager"), Page::TabSheetManager,
        {field<Values_>(
             Key{QStringLiteral("classic-mode"), Kind::Flag, 0, 1, false},
             [](const Values_ &v) { return QVariant(v.settings.classicMode); },
             [](Values_ &v, const QVariant &value) { v.settings.classicMode = value.toBool(); }),
         field<Values_>(
             Key{QStringLiteral("start-stop"), Kind::Flag, 0, 1, false},
             [](const Values_ &v) { return QVariant(v.settings.startStop); },
             [](Values_ &v, const QVariant &value) { v.settings.startStop = value.toBool(); }),
         flag(QStringLiteral("reserved-booster"), &Values_::reserved),
         number(QStringLiteral("booster-address"), 1, 63, 1, &Values_::address),
         field<Values_>(
             Key{QStringLiteral("booster-output"),
                 Kind::Choice,
                 mgr::OutputA,
                 mgr::OutputB,
                 mgr::OutputA,
                 {{QStringLiteral("A"), mgr::OutputA}, {QStringLiteral("B"), mgr::OutputB}}},
             [](const Values_ &v) { return QVariant(v.output); },
             [](Values_ &v, const QVariant &value) { v.output = value.toInt(); })},
        [](DeviceLink &link) -> std::optional<Values_> {
            const std::optional<mgr::Settings> s = mgr::RequestSettings(link);
            if (!s)
                return std::nullopt;
            Values_ v{*s, mgr::BoosterReserved(*s)};
            // The fields show "none" as their first value.
            v.address = qMax(1, s->boosterAddress);
            v.output = s->boosterOutput == mgr::OutputB ? mgr::OutputB : mgr::OutputA;
            return v;
        },
        [](DeviceLink &link, const Values_ &v, const Values &, int) {
            mgr::Settings s{v.settings.classicMode, v.settings.startStop, 0, mgr::OutputNone};
            if (v.reserved) {
                s.boosterAddress = v.address;
                s.boosterOutput = v.output;
            }
            return verdict(mgr::WriteSettings(link, s, true));
        });
    return &page;
}

const SettingsPage *lightPage() {
    struct Values_ {
        light::Brightness brightness;
        QString name;
    };
    static const BoundPage<Values_> page(
        QStringLiteral("light"), Page::TabSheetLight,
        {field<Values_>(
             Key{QStringLiteral("inner"), Kind::Number, 5, 255, 100},
             [](const Values_ &v) { return QVariant(v.brightness.inner); },
             [](Values_ &v, const QVariant &value) { v.brightness.inner = value.toInt(); }),
         field<Values_>(
             Key{QStringLiteral("front"), Kind::Number, 20, 255, 100},
             [](const Values_ &v) { return QVariant(v.brightness.front); },
             [](Values_ &v, const QVariant &value) { v.brightness.front = value.toInt(); }),
         field<Values_>(
             Key{QStringLiteral("name"), Kind::Text, 0, light::MaxNameLength, QString()},
             [](const Values_ &v) { return QVariant(v.name); },
             [](Values_ &v, const QVariant &value) { v.name = value.toString(); })},
        [](DeviceLink &link) -> std::optional<Values_> {
            const light::GeneralValues read = light::ReadGeneral(link);
            if (!read.brightness)
                return std::nullopt;
            return Values_{*read.brightness, read.name.value_or(QString())};
        },
        [](DeviceLink &link, const Values_ &v, const Values &changes, int) {
            // Each part is saved by its own button in the window: only what was given is sent.
            if (changes.contains(QStringLiteral("inner")) ||
                changes.contains(QStringLiteral("front")))
                light::SaveBrightness(link, v.brightness);
            if (changes.contains(QStringLiteral("name")) &&
                !light::UsesGatewayForm(link.current().deviceClass))
                light::SaveName(link, v.name);
            return Outcome::Accepted;
        });
    return &page;
}

const SettingsPage *classicPage() {
    struct Values_ {
        light::ClassicSettings settings;
        light::Mode mode;
    };
    const auto setting = [](const QString &name, int min, int max, int fallback,
                            int light::ClassicSettings::*member) {
        return field<Values_>(
            Key{name, Kind::Number, min, max, fallback},
            [member](const Values_ &v) { return QVariant(v.settings.*member); },
            [member](Values_ &v, const QVariant &value) { v.settings.*member = value.toInt(); });
    };
    QList<BoundPage<Values_>::Field> fields = {
        setting(QStringLiteral("outputs"), 0, 400, 100, &light::ClassicSettings::outputs),
        setting(QStringLiteral("dmx"), 0, 127, 20, &light::ClassicSettings::dmx),
        // The timing choice sets clock and latch together, as in the window.
        field<Values_>(
            Key{QStringLiteral("timing"),
                Kind::Choice,
                1,
                20,
                light::ClockOfTimingChoice(1),
                {{QStringLiteral("fast"), light::ClockOfTimingChoice(0)},
                 {QStringLiteral("normal"), light::ClockOfTimingChoice(1)},
                 {QStringLiteral("slow"), light::ClockOfTimingChoice(2)}}},
            [](const Values_ &v) { return QVariant(v.settings.clock); },
            [](Values_ &v, const QVariant &value) {
                v.settings.clock = value.toInt();
                v.settings.latch = value.toInt();
            }),
        field<Values_>(
            Key{QStringLiteral("latch-delay"),
                Kind::Choice,
                0,
                2,
                0,
                {{QStringLiteral("normal"), 0},
                 {QStringLiteral("low"), 1},
                 {QStringLiteral("high"), 2}}},
            [](const Values_ &v) { return QVariant(v.settings.latchDelay); },
            [](Values_ &v, const QVariant &value) { v.settings.latchDelay = value.toInt(); })};
    fields << modeFields<Values_>();
    static const BoundPage<Values_> page(
        QStringLiteral("classic"), Page::TabSheetClassic, fields,
        [](DeviceLink &link) -> std::optional<Values_> {
            const light::ClassicValues read = light::ReadClassic(link);
            if (!read.settings)
                return std::nullopt;
            return Values_{*read.settings, read.mode.value_or(light::Mode{})};
        },
        [](DeviceLink &link, const Values_ &v, const Values &, int) {
            light::SaveClassic(link, v.settings, v.mode);
            return Outcome::Accepted;
        });
    return &page;
}

const SettingsPage *rgbPage() {
    struct Values_ {
        light::LedCounts counts{120, 120, 120, 120};
        light::Mode mode;
    };
    QList<BoundPage<Values_>::Field> fields;
    for (int bus = 0; bus < light::DBusCount; ++bus) {
        fields << field<Values_>(
            Key{QStringLiteral("dbus%1").arg(bus + 1), Kind::Number, 0, 240, 120},
            [bus](const Values_ &v) { return QVariant(v.counts[std::size_t(bus)]); },
            [bus](Values_ &v, const QVariant &value) {
                v.counts[std::size_t(bus)] = value.toInt();
            });
    }
    fields << modeFields<Values_>();
    static const BoundPage<Values_> page(
        QStringLiteral("rgb"), Page::TabSheetRGB, fields,
        [](DeviceLink &link) -> std::optional<Values_> {
            const light::RgbValues read = light::ReadRgb(link);
            if (!read.counts)
                return std::nullopt;
            return Values_{*read.counts, read.mode.value_or(light::Mode{})};
        },
        [](DeviceLink &link, const Values_ &v, const Values &, int) {
            light::SaveRgb(link, v.counts, v.mode);
            return Outcome::Accepted;
        });
    return &page;
}

// The gateway and booster pages share the gateway's settings record: each writes what the
// other shows as the device holds it.
struct BusValues {
    boostergateway::Settings settings;
    QString name;
};

std::optional<BusValues> readBus(DeviceLink &link) {
    BusValues values;
    // The sensitivity is not in the record; the boosters report it.
    if (const std::optional<int> sensitivity = booster::ReadSensitivity(link))
        values.settings.sensitivity = *sensitivity;
    const std::optional<boostergateway::Settings> read =
        boostergateway::RequestSettings(link, values.settings);
    if (!read)
        return std::nullopt;
    values.settings = *read;
    values.name = boostergateway::RequestName(link).value_or(QString());
    return values;
}

template <class Member>
BoundPage<BusValues>::Field busFlag(const QString &name, Member member) {
    return field<BusValues>(
        Key{name, Kind::Flag, 0, 1, false},
        [member](const BusValues &v) { return QVariant(v.settings.*member); },
        [member](BusValues &v, const QVariant &value) { v.settings.*member = value.toBool(); });
}

BoundPage<BusValues>::Field busTenths(const QString &name, boostergateway::Range range,
                                      int fallback, int boostergateway::Settings::*member) {
    return field<BusValues>(
        Key{name, Kind::Tenths, range.min, range.max, fallback},
        [member](const BusValues &v) { return QVariant(v.settings.*member); },
        [member](BusValues &v, const QVariant &value) { v.settings.*member = value.toInt(); });
}

const SettingsPage *boosterGatewayPage() {
    namespace gw = boostergateway;
    static const BoundPage<BusValues> page(
        QStringLiteral("booster-gateway"), Page::TabSheetBoosterNET,
        {busFlag(QStringLiteral("start-all"), &gw::Settings::startAll),
         busFlag(QStringLiteral("stop-station"), &gw::Settings::stopStation),
         busFlag(QStringLiteral("switching-only"), &gw::Settings::switchingOnly),
         field<BusValues>(
             Key{QStringLiteral("addresses"), Kind::Text, 0, 19, QString()},
             [](const BusValues &v) { return QVariant(v.settings.addresses); },
             [](BusValues &v, const QVariant &value) { v.settings.addresses = value.toString(); }),
         field<BusValues>(
             Key{QStringLiteral("name"), Kind::Text, 0, gw::MaxNameLength, QString()},
             [](const BusValues &v) { return QVariant(v.name); },
             [](BusValues &v, const QVariant &value) { v.name = value.toString(); })},
        readBus, [](DeviceLink &link, const BusValues &v, const Values &changes, int) {
            // The name goes only when it was given, as after a key press in its field.
            std::optional<QString> name;
            if (changes.contains(QStringLiteral("name")))
                name = v.name;
            return verdict(gw::WriteSettings(link, v.settings, name));
        });
    return &page;
}

const SettingsPage *boosterPage() {
    namespace gw = boostergateway;
    static const BoundPage<BusValues> page(
        QStringLiteral("booster"), Page::TabSheetBooster,
        {busTenths(QStringLiteral("max-current"), gw::MaxCurrentRange, 50,
                   &gw::Settings::maxCurrentTenths),
         busTenths(QStringLiteral("info-current"), gw::InfoCurrentRange, 40,
                   &gw::Settings::infoCurrentTenths),
         field<BusValues>(
             Key{QStringLiteral("sensitivity"), Kind::Number, booster::ServiceSensitivity.min,
                 booster::ServiceSensitivity.max, gw::DefaultSensitivity},
             [](const BusValues &v) { return QVariant(v.settings.sensitivity); },
             [](BusValues &v, const QVariant &value) { v.settings.sensitivity = value.toInt(); }),
         busFlag(QStringLiteral("pc-switches-on"), &gw::Settings::pcSwitchesOn),
         field<BusValues>(
             Key{QStringLiteral("pause"), Kind::Number, gw::PauseRange.min, gw::PauseRange.max, 8},
             [](const BusValues &v) { return QVariant(v.settings.pauseSeconds); },
             [](BusValues &v, const QVariant &value) { v.settings.pauseSeconds = value.toInt(); })},
        readBus, [](DeviceLink &link, const BusValues &v, const Values &, int) {
            return verdict(booster::WriteSettings(link, v.settings.sensitivity, v.settings));
        });
    return &page;
}

bool parseFlag(const QString &text, bool &value) {
    static const QStringList yes = {QStringLiteral("1"), QStringLiteral("yes"),
                                    QStringLiteral("true"), QStringLiteral("on")};
    static const QStringList no = {QStringLiteral("0"), QStringLiteral("no"),
                                   QStringLiteral("false"), QStringLiteral("off")};
    const QString lower = text.trimmed().toLower();
    value = yes.contains(lower);
    return value || no.contains(lower);
}

} // namespace

const Key *SettingsPage::key(const QString &name) const {
    for (const Key &k : m_keys) {
        if (k.name == name)
            return &k;
    }
    return nullptr;
}

const QList<const SettingsPage *> &Pages() {
    static const QList<const SettingsPage *> pages = {
        speedPage(), boosterGatewayPage(), boosterPage(), managerPage(),
        s88Page(),   lightPage(),          classicPage(), rgbPage()};
    return pages;
}

const SettingsPage *FindPage(const QString &name) {
    for (const SettingsPage *page : Pages()) {
        if (page->name() == name)
            return page;
    }
    return nullptr;
}

QList<const SettingsPage *> PagesOf(const ClassDispatch &dispatch) {
    QList<const SettingsPage *> pages;
    for (const SettingsPage *page : Pages()) {
        if (dispatch.pages.contains(page->tab()))
            pages << page;
    }
    return pages;
}

std::optional<QVariant> ParseValue(const Key &key, const QString &text) {
    const QString trimmed = text.trimmed();
    switch (key.kind) {
    case Kind::Number: {
        bool ok = false;
        const int value = trimmed.toInt(&ok);
        if (!ok || value < key.min || value > key.max)
            return std::nullopt;
        return QVariant(value);
    }
    case Kind::Tenths: {
        // "4.9" and "4,9"; at most one digit behind the point.
        static const QRegularExpression decimal(QStringLiteral("^(\\d{1,3})(?:[.,](\\d))?$"));
        const QRegularExpressionMatch match = decimal.match(trimmed);
        if (!match.hasMatch())
            return std::nullopt;
        const int value = match.captured(1).toInt() * 10 + match.captured(2).toInt();
        if (value < key.min || value > key.max)
            return std::nullopt;
        return QVariant(value);
    }
    case Kind::Flag: {
        bool value = false;
        if (!parseFlag(trimmed, value))
            return std::nullopt;
        return QVariant(value);
    }
    case Kind::Text:
        if (text.size() > key.max)
            return std::nullopt;
        return QVariant(text);
    case Kind::Choice:
        for (const Choice &choice : key.choices) {
            if (choice.name.compare(trimmed, Qt::CaseInsensitive) == 0)
                return QVariant(choice.value);
        }
        return std::nullopt;
    }
    return std::nullopt;
}

QString FormatValue(const Key &key, const QVariant &value) {
    switch (key.kind) {
    case Kind::Tenths:
        return QStringLiteral("%1.%2").arg(value.toInt() / 10).arg(value.toInt() % 10);
    case Kind::Flag:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case Kind::Text:
        return value.toString();
    case Kind::Choice:
        for (const Choice &choice : key.choices) {
            if (choice.value == value.toInt())
                return choice.name;
        }
        // A value the device holds that the choice does not offer.
        return QString::number(value.toInt());
    case Kind::Number:
        break;
    }
    return QString::number(value.toInt());
}

QJsonValue JsonValue(const Key &key, const QVariant &value) {
    switch (key.kind) {
    case Kind::Number:
        return value.toInt();
    case Kind::Tenths:
        return value.toInt() / 10.0;
    case Kind::Flag:
        return value.toBool();
    case Kind::Text:
        return value.toString();
    case Kind::Choice:
        break;
    }
    const QString name = FormatValue(key, value);
    if (ParseValue(key, name))
        return name;
    return value.toInt();
}

QString RangeText(const Key &key) {
    switch (key.kind) {
    case Kind::Number:
        return QStringLiteral("%1..%2").arg(key.min).arg(key.max);
    case Kind::Tenths:
        return QStringLiteral("%1..%2").arg(FormatValue(key, key.min), FormatValue(key, key.max));
    case Kind::Flag:
        return QStringLiteral("0|1");
    case Kind::Text:
        return QStringLiteral("at most %1 characters").arg(key.max);
    case Kind::Choice: {
        QStringList names;
        for (const Choice &choice : key.choices)
            names << choice.name;
        return names.join(QLatin1Char('|'));
    }
    }
    return {};
}

} // namespace qev::pagekeys
