#include "netinspect/deviceclass.h"

#include <array>

namespace qev {

namespace {

struct ClassNames {
    quint8 code;
    const char *catalogue; // nullptr: "Unbekannt"
    const char *pickList;  // nullptr: no name
};

constexpr std::array<ClassNames, 26> Classes = {{
    {1, "Glimnet", "Glimnet"},
    {2, "Velocimo", "Velocimo"},
    {3, "Kopla Manager", "Kopla Manager"},
    {4, nullptr, "Spurnova Station"},
    {6, "s88 Master", nullptr},
    {7, "Portaxis", "Portaxis"},
    {9, "Ferrano", "Ferrano Hub"},
    {12, "Container Terminal", "Hafenlabor Container"},
    {14, "Kopla Light", nullptr},
    {15, "Ferrano Switch", "Ferrano Switch"},
    {16, "Ferrano Zentrale", "Ferrano Zentrale"},
    {17, "Ferrano S88-Controller", "Ferrano S88 Controller"},
    {18, nullptr, "Glimmaster"},
    {21, "Lucento Decoder", "Lucento Decoder"},
    {22, "Lucento Classic-Master", "Lucento Classic Master"},
    {23, "Lucento RGB-Master", "Lucento RGB Master"},
    {24, "Lucento Raum-Master", "Lucento Raum Master"},
    {25, "Servanto", "Servanto"},
    {26, nullptr, "Sensonet"},
    {27, "Ferrano Booster-GW", "Ferrano Booster GW"},
    {99, "Base Controller", "Base Controller"},
    {250, "Movaro", nullptr},
    {251, "Chronalis", nullptr},
    {252, "Lunarra PC", "Lunarra PC"},
    {254, "Spurnova Interface", "Spurnova Interface"},
    {255, "Spurnova Gleisbild", "Spurnova Gleisbild"},
}};

const ClassNames *find(quint8 code) {
    for (const ClassNames &entry : Classes) {
        if (entry.code == code)
            return &entry;
    }
    return nullptr;
}

} // namespace

QString DeviceClassName(quint8 code) {
    const ClassNames *entry = find(code);
    // A fixed word of the catalogue, not the message text of the active language.
    return entry && entry->catalogue ? QString::fromUtf8(entry->catalogue)
                                     : QStringLiteral("Unbekannt");
}

QString PickListClassName(quint8 code) {
    const ClassNames *entry = find(code);
    return entry && entry->pickList ? QString::fromUtf8(entry->pickList) : QString();
}

} // namespace qev
