#include "simbooster.h"

#include "app/devicecodes.h"
#include "devicelink/protocol.h"
#include "pages/booster.h"
#include "pages/boostergateway.h"
#include "pages/boosterlist.h"
#include "simdevice.h"
#include "simtext.h"

#include <QStringList>
#include <algorithm>
#include <memory>

namespace qev::devsim {

namespace {

namespace bl = qev::boosterlist;
namespace gw = qev::boostergateway;
namespace bo = qev::booster;
using proto::Ack;
using proto::PrefixBooster;
using proto::PrefixExtended;

constexpr char Refused = '?';
constexpr quint8 TypeThree = 3;

struct Booster {
    quint8 address = 0;
    quint8 type = bl::TypeBooster5A;
    QByteArray name;
    quint8 version = 0x10;
    QByteArray serial;
    bool silent = false;
};

struct Bus {
    std::vector<Booster> boosters;
    BoosterBusConfig config;
    DeviceCodes codes;
    // The fifteen values of the gateway settings, as the write carries them.
    QByteArray settings;
    bool unlocked = false;
    int nextSerial = 1;

    Booster newBooster(quint8 address) {
        Booster b;
        b.address = address;
        b.name = QStringLiteral("Booster %1").arg(address).toLatin1();
        b.version = quint8(0x10 | (address & 0x0F));
        b.serial = QByteArray::fromHex("B0057E000000");
        b.serial[4] = char(nextSerial >> 8);
        b.serial[5] = char(nextSerial);
        ++nextSerial;
        return b;
    }

    const Booster *find(quint8 address) const {
        const auto it = std::find_if(boosters.begin(), boosters.end(),
                                     [address](const Booster &b) { return b.address == address; });
        return it == boosters.end() ? nullptr : &*it;
    }
    Booster *find(quint8 address) {
        return const_cast<Booster *>(std::as_const(*this).find(address));
    }

    bool isBusRow(QByteArrayView group) const {
        for (const DeviceCodes::BusSet &set : codes.boosterBusSets) {
            for (const DeviceCodes::BusRow &row : set) {
                if (std::equal(row.begin(), row.end(), group.begin(), group.end(),
                               [](quint8 r, char g) { return r == quint8(g); }))
                    return true;
            }
        }
        return false;
    }
};

QByteArray busReply(quint8 command) {
    return Bytes({Ack, PrefixBooster, command});
}

QByteArray listReply(const Bus &bus) {
    QByteArray entries;
    int count = 0;
    for (const Booster &b : bus.boosters) {
        entries += Bytes({b.address, b.type, 0});
        ++count;
    }
    if (bus.config.typeThree > 0) {
        entries += Bytes({quint8(bus.config.typeThree), TypeThree, 0});
        ++count;
    }
    return busReply(bl::ListCommand) + char(quint8(count)) + entries;
}

} // namespace

const char *const BoosterHelp =
    R"(  boosters=N     classes 3 and 27: N boosters at addresses 1 to N, type 1 ("Booster
                 5A"), named "Booster <address>", version 1.<address mod 16>, serial
                 B0:05:7E:00 and a running number. They answer the list 90 91 FF 01/00,
                 name 90 0E, info 90 93, serials 90 0D 00, the unlock 90 F0 00 (its two
                 code groups must be rows of the booster-bus table of [Codes]) and, once
                 unlocked, the name write 90 1E. The device also keeps the gateway
                 settings (90 99 AC 53 FF writes, 90 99 33 99 reads), the booster
                 settings 90 94 55 AA FF (their sensitivity goes into every booster), the
                 new address 90 95 A0 05 and the name write 60 63.
  bsilent=A[:B..] the boosters at these addresses answer neither name nor info.
  bunknown=A     the serials reply also names address A, where no booster is.
  btype3=A       the list also has an entry of type 3 at address A.
  bsens=N        the sensitivity every booster reports, 0-255 (default 30).
  bprogram=yes|no
                 a booster waits in programming mode and takes the next new address
                 (default yes); without one the new address gets no answer.
)";

BoosterKey ParseBoosterKey(const QString &key, const QString &value, BoosterBusConfig &config) {
    const auto take = [](std::optional<int> v, int &field) {
        if (!v)
            return BoosterKey::Bad;
        field = *v;
        return BoosterKey::Taken;
    };
    if (key == QLatin1String("boosters"))
        return take(ParseNumber(value, 0, bl::LastAddress), config.count);
    if (key == QLatin1String("bunknown"))
        return take(ParseNumber(value, bl::FirstAddress, bl::LastAddress), config.unknownSerial);
    if (key == QLatin1String("btype3"))
        return take(ParseNumber(value, bl::FirstAddress, bl::LastAddress), config.typeThree);
    if (key == QLatin1String("bsens"))
        return take(ParseNumber(value, 0, 255), config.sensitivity);
    if (key == QLatin1String("bprogram")) {
        if (value != QLatin1String("yes") && value != QLatin1String("no"))
            return BoosterKey::Bad;
        config.programmingMode = value == QLatin1String("yes");
        return BoosterKey::Taken;
    }
    if (key != QLatin1String("bsilent"))
        return BoosterKey::NotMine;
    std::vector<int> silent;
    for (const QString &part : value.split(QLatin1Char(':'))) {
        int address = 0;
        if (take(ParseNumber(part, bl::FirstAddress, bl::LastAddress), address) == BoosterKey::Bad)
            return BoosterKey::Bad;
        silent.push_back(address);
    }
    config.silent = std::move(silent);
    return BoosterKey::Taken;
}

bool HasBoosterBus(quint8 deviceClass) {
    return deviceClass == 3 || deviceClass == 27;
}

void InstallBoosterBus(SimDevice &device, const BoosterBusConfig &config,
                       const DeviceCodes &codes) {
    auto bus = std::make_shared<Bus>();
    bus->config = config;
    bus->codes = codes;
    for (int a = 1; a <= config.count; ++a) {
        Booster b = bus->newBooster(quint8(a));
        b.silent = std::find(config.silent.begin(), config.silent.end(), a) != config.silent.end();
        bus->boosters.push_back(b);
    }
    // Start all off, start/stop 0, watchdog 2 s, 5 A, information from 4 A, sensitivity
    // 30, delay 0.1 s, pause 8 s, no boosters for switching commands.
    bus->settings = Bytes({0, 0, 2, 0, 200, 160, 30, 1, 8, 0, 0, 0, 0, 0, 0});

    const auto add = [&](std::initializer_list<quint8> prefix, SimDevice::Handler handler) {
        device.addCommand(Bytes(prefix), std::move(handler));
    };
    add({PrefixBooster, bl::ListCommand, bl::ListAll},
        [bus](QByteArrayView, Response &r) { r.reply = listReply(*bus); });
    add({PrefixBooster, bl::NameCommand}, [bus](QByteArrayView request, Response &r) {
        const Booster *b = request.size() >= 3 ? bus->find(quint8(request[2])) : nullptr;
        if (b && !b->silent)
            r.reply = busReply(bl::NameCommand) + char(quint8(b->name.size())) + b->name;
    });
    add({PrefixBooster, bl::InfoCommand}, [bus](QByteArrayView request, Response &r) {
        const Booster *b = request.size() >= 3 ? bus->find(quint8(request[2])) : nullptr;
        if (!b || b->silent)
            return;
        QByteArray reply = busReply(bl::InfoCommand) + QByteArray(8, '\0');
        reply[bo::InfoSensitivityByte] = char(quint8(bus->config.sensitivity));
        reply[bl::InfoVersionByte] = char(b->version);
        r.reply = reply;
    });
    add({PrefixBooster, bl::SerialsCommand}, [bus](QByteArrayView, Response &r) {
        QByteArray entries;
        int count = 0;
        for (const Booster &b : bus->boosters) {
            entries += char(b.address) + b.serial;
            ++count;
        }
        if (bus->config.unknownSerial > 0) {
            entries +=
                char(quint8(bus->config.unknownSerial)) + QByteArray::fromHex("DEADBEEF0000");
            ++count;
        }
        r.reply = busReply(bl::SerialsCommand) + char(quint8(count)) + entries;
    });
    add({PrefixBooster, bl::UnlockCommand}, [bus](QByteArrayView request, Response &r) {
        const qsizetype header = 3;
        bus->unlocked = request.size() == header + qsizetype(bl::UnlockCodeLength) &&
                        bus->isBusRow(request.sliced(header, 3)) &&
                        bus->isBusRow(request.sliced(header + 3, 3));
        r.reply = busReply(bl::UnlockCommand);
        if (!bus->unlocked)
            r.reply[0] = Refused;
    });
    add({PrefixBooster, bl::NameWriteCommand}, [bus](QByteArrayView request, Response &r) {
        Booster *b = request.size() >= 4 ? bus->find(quint8(request[2])) : nullptr;
        const qsizetype length = request.size() >= 4 ? quint8(request[3]) : 0;
        r.reply = busReply(bl::NameWriteCommand);
        // Each unlock allows one name write.
        if (!bus->unlocked || !b || b->silent || request.size() != 4 + length) {
            r.reply[0] = Refused;
        } else {
            b->name = request.sliced(4).toByteArray();
        }
        bus->unlocked = false;
    });
    add({PrefixBooster, gw::SettingsCommand, gw::ReadMarker[0], gw::ReadMarker[1]},
        [bus](QByteArrayView, Response &r) {
            r.reply = busReply(gw::SettingsCommand) + char(0) + bus->settings;
        });
    add({PrefixBooster, gw::SettingsCommand, gw::WriteMarker[0], gw::WriteMarker[1],
         gw::WriteMarker[2]},
        [bus](QByteArrayView request, Response &r) {
            if (request.size() != qsizetype(gw::WriteLength))
                return;
            bus->settings = request.sliced(5).toByteArray();
            r.reply = busReply(gw::SettingsCommand);
        });
    add({PrefixBooster, bo::SettingsCommand, bo::SettingsMarker[0], bo::SettingsMarker[1],
         bo::SettingsMarker[2]},
        [bus](QByteArrayView request, Response &r) {
            if (request.size() != qsizetype(bo::SettingsLength))
                return;
            bus->config.sensitivity = quint8(request[5]);
            r.reply = busReply(bo::SettingsCommand);
        });
    add({PrefixBooster, bo::NewAddressCommand, bo::NewAddressMarker[0], bo::NewAddressMarker[1]},
        [bus](QByteArrayView request, Response &r) {
            // Without a booster in programming mode the gateway has nobody to ask.
            if (request.size() != qsizetype(bo::NewAddressLength) || !bus->config.programmingMode)
                return;
            bus->config.programmingMode = false;
            const quint8 address = quint8(request[4]);
            const auto at =
                std::upper_bound(bus->boosters.begin(), bus->boosters.end(), address,
                                 [](quint8 a, const Booster &b) { return a < b.address; });
            bus->boosters.insert(at, bus->newBooster(address));
            r.reply = busReply(bo::NewAddressCommand);
        });
    add({PrefixExtended, gw::NameWriteCommand}, [&device](QByteArrayView request, Response &r) {
        if (request.size() < 3)
            return;
        const qsizetype length = std::min<qsizetype>(quint8(request[2]), request.size() - 3);
        device.setName(QString::fromLatin1(request.sliced(3, length)));
        r.reply = Bytes({Ack, PrefixExtended, gw::NameWriteCommand});
    });
}

} // namespace qev::devsim
