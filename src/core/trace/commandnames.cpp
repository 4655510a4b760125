#include "trace/commandnames.h"

#include <array>
#include <initializer_list>
#include <vector>

namespace qev {

namespace {

struct Command {
    std::initializer_list<quint8> lead;
    const char *name;
};

// A datagram is named by the longest lead it begins with.
// clang-format off
const std::array Commands = {
    Command{{0xF4, 0x55, 0xAA}, QT_TRANSLATE_NOOP("CommandName", "Netzwerkeinstellungen")},
    Command{{0xF8, 0xAA, 0x51}, QT_TRANSLATE_NOOP("CommandName", "Netzwerkeinstellungen")},
    Command{{0xF5}, QT_TRANSLATE_NOOP("CommandName", "Suche")},
    Command{{0x0F}, QT_TRANSLATE_NOOP("CommandName", "Identifikation")},
    Command{{0x60, 0x0F}, QT_TRANSLATE_NOOP("CommandName", "Identifikation")},
    Command{{0x0D, 0x00}, QT_TRANSLATE_NOOP("CommandName", "Seriennummer")},
    Command{{0x5C, 0x0D, 0x00}, QT_TRANSLATE_NOOP("CommandName", "Seriennummer")},
    Command{{0x60, 0x0D, 0x00}, QT_TRANSLATE_NOOP("CommandName", "Seriennummer")},
    Command{{0xF0}, QT_TRANSLATE_NOOP("CommandName", "Zugangscode")},
    Command{{0xF3}, QT_TRANSLATE_NOOP("CommandName", "Block schreiben")},
    Command{{0xF2}, QT_TRANSLATE_NOOP("CommandName", "Block lesen")},
    Command{{0xF6}, QT_TRANSLATE_NOOP("CommandName", "Aktivieren")},
    Command{{0x04, 0xAA, 0x55}, QT_TRANSLATE_NOOP("CommandName", "Tachometer schreiben")},
    Command{{0x05}, QT_TRANSLATE_NOOP("CommandName", "Tachometer lesen")},
    Command{{0x32}, QT_TRANSLATE_NOOP("CommandName", "S88 lesen")},
    Command{{0x34}, QT_TRANSLATE_NOOP("CommandName", "S88 schreiben")},
    Command{{0x60, 0x61}, QT_TRANSLATE_NOOP("CommandName", "Helligkeit setzen")},
    Command{{0x60, 0x62}, QT_TRANSLATE_NOOP("CommandName", "Helligkeit lesen")},
    Command{{0x60, 0x63}, QT_TRANSLATE_NOOP("CommandName", "Name schreiben")},
    Command{{0x60, 0x64}, QT_TRANSLATE_NOOP("CommandName", "Name lesen")},
    Command{{0x60, 0x94}, QT_TRANSLATE_NOOP("CommandName", "Modus lesen")},
    Command{{0x60, 0x95}, QT_TRANSLATE_NOOP("CommandName", "Modus schreiben")},
    Command{{0x61, 0x90}, QT_TRANSLATE_NOOP("CommandName", "Classic lesen")},
    Command{{0x61, 0x91}, QT_TRANSLATE_NOOP("CommandName", "Classic schreiben")},
    Command{{0x62, 0x92}, QT_TRANSLATE_NOOP("CommandName", "RGB lesen")},
    Command{{0x62, 0x93}, QT_TRANSLATE_NOOP("CommandName", "RGB schreiben")},
    Command{{0x99, 0x33, 0x99}, QT_TRANSLATE_NOOP("CommandName", "Manager lesen")},
    Command{{0x99, 0xAA, 0x55}, QT_TRANSLATE_NOOP("CommandName", "Manager schreiben")},
    Command{{0x90, 0x0D}, QT_TRANSLATE_NOOP("CommandName", "Booster-Seriennummern")},
    Command{{0x90, 0x0E}, QT_TRANSLATE_NOOP("CommandName", "Booster-Name lesen")},
    Command{{0x90, 0x1E}, QT_TRANSLATE_NOOP("CommandName", "Booster-Name schreiben")},
    Command{{0x90, 0x91}, QT_TRANSLATE_NOOP("CommandName", "Booster-Liste")},
    Command{{0x90, 0x93}, QT_TRANSLATE_NOOP("CommandName", "Booster-Info")},
    Command{{0x90, 0x94}, QT_TRANSLATE_NOOP("CommandName", "Booster schreiben")},
    Command{{0x90, 0x95}, QT_TRANSLATE_NOOP("CommandName", "Booster-Adresse")},
    Command{{0x90, 0x99, 0x33, 0x99}, QT_TRANSLATE_NOOP("CommandName", "Gateway lesen")},
    Command{{0x90, 0x99, 0xAC, 0x53}, QT_TRANSLATE_NOOP("CommandName", "Gateway schreiben")},
    Command{{0x90, 0x9B, 0x00}, QT_TRANSLATE_NOOP("CommandName", "Gateway-Helligkeit lesen")},
    Command{{0x90, 0x9B, 0x01}, QT_TRANSLATE_NOOP("CommandName", "Gateway-Helligkeit speichern")},
    Command{{0x90, 0xF0}, QT_TRANSLATE_NOOP("CommandName", "Booster-Freigabe")},
};
// clang-format on

bool beginsWith(std::span<const quint8> datagram, std::initializer_list<quint8> lead) {
    if (datagram.size() < lead.size())
        return false;
    std::size_t i = 0;
    for (const quint8 byte : lead) {
        if (datagram[i++] != byte)
            return false;
    }
    return true;
}

// The table's entries by their first byte: every datagram is named, firmware blocks by the
// hundred, and most of the table can be passed over at once.
const std::array<std::vector<const Command *>, 256> &commandsByFirstByte() {
    static const auto index = [] {
        std::array<std::vector<const Command *>, 256> byFirst;
        for (const Command &command : Commands)
            byFirst[*command.lead.begin()].push_back(&command);
        return byFirst;
    }();
    return index;
}

const char *longestMatch(std::span<const quint8> datagram) {
    if (datagram.empty())
        return nullptr;
    const Command *best = nullptr;
    for (const Command *command : commandsByFirstByte()[datagram[0]]) {
        if (beginsWith(datagram, command->lead) &&
            (!best || command->lead.size() > best->lead.size()))
            best = command;
    }
    return best ? best->name : nullptr;
}

} // namespace

const char *RequestName(std::span<const quint8> datagram) {
    const char *name = longestMatch(datagram);
    return name ? name : "";
}

const char *ReplyName(std::span<const quint8> datagram, const char *requestName) {
    if (requestName && *requestName)
        return requestName;
    if (!datagram.empty() && datagram[0] == 0x21) {
        if (const char *name = longestMatch(datagram.subspan(1)))
            return name;
    }
    return "";
}

} // namespace qev
