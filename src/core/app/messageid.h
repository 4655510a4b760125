#pragma once

// Ids of the message catalogue. The core hands these out instead of sentences; the user
// interface turns an id into the text of the active language (MessageText).

#include <QList>
#include <QString>
#include <functional>
#include <variant>

namespace qev {

constexpr int IDS_100 = 100; // only one interface may be on the network
constexpr int IDS_101 = 101; // existing values will be overwritten
constexpr int IDS_102 = 102; // continue?
constexpr int IDS_103 = 103; // hint (caption)
constexpr int IDS_105 = 105; // new address is reachable
constexpr int IDS_106 = 106; // no answer from device
constexpr int IDS_108 = 108; // no network connection
constexpr int IDS_109 = 109; // read OK
constexpr int IDS_110 = 110; // no answer: foreign network or wrong configuration
constexpr int IDS_111 = 111; // interface is in the wrong network
constexpr int IDS_114 = 114; // unknown
constexpr int IDS_115 = 115;
constexpr int IDS_116 = 116;
constexpr int IDS_117 = 117; // command accepted
constexpr int IDS_119 = 119; // send data
constexpr int IDS_120 = 120; // compare data
constexpr int IDS_121 = 121; // activate and reboot
constexpr int IDS_122 = 122; // "of"
constexpr int IDS_123 = 123; // finished
constexpr int IDS_124 = 124; // without IP address
constexpr int IDS_125 = 125; // press the device's button for programming mode
constexpr int IDS_126 = 126; // already in use
constexpr int IDS_127 = 127; // not in full
constexpr int IDS_128 = 128; // in foreign net
constexpr int IDS_129 = 129; // not valid
constexpr int IDS_130 = 130;
constexpr int IDS_131 = 131; // may not fit
constexpr int IDS_132 = 132; // is reachable
constexpr int IDS_133 = 133; // not reachable
constexpr int IDS_140 = 140; // scan the disk for installed software?
constexpr int IDS_141 = 141; // this will take some time
constexpr int IDS_142 = 142; // extended search
constexpr int IDS_143 = 143; // devices...
constexpr int IDS_144 = 144; // foreign devices...
constexpr int IDS_145 = 145; // PC data...
constexpr int IDS_200 = 200; // set booster to programming mode
constexpr int IDS_201 = 201; // press button more than 3 seconds
constexpr int IDS_202 = 202; // " controller found. Programming impossible" (after a count)

// A text put together at run time: message ids and literal pieces (numbers, line breaks)
// in the order shown. The ids are looked up only when the text is shown, so it comes out
// in the language active at that moment.
using TextPart = std::variant<int, QString>;
using ComposedText = QList<TextPart>;

inline QString ComposeText(const ComposedText &parts,
                           const std::function<QString(int)> &messageText) {
    QString text;
    for (const TextPart &part : parts) {
        if (const int *id = std::get_if<int>(&part))
            text += messageText(*id);
        else
            text += std::get<QString>(part);
    }
    return text;
}

} // namespace qev
