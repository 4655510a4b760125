#pragma once

// "Programmieren": the new network settings sent to the current device along every path on
// which it may take them, then the wait for it at its new address, the search there and the
// identification once it answers.

#include "devicelink/netsettings.h"
#include "flows/search.h"

#include <QString>
#include <QStringList>

namespace qev::flow {

struct NetworkProgramming {
    // The new settings as entered; the flow fills in the PC's ARP list itself.
    NetSettingsInput settings;
    QString deviceHost; // where the device was found
    // Refuse settings the window would not let be sent (an address in use, an incomplete
    // address, a port out of range) before asking anything. The window's own button rule
    // does this there, so the window leaves it off.
    bool checkFirst = false;
};

// The waits of the programming. Tests shorten them; the program keeps these.
struct ProgrammingTiming {
    int waitMs = 10000; // for the device to answer a ping at its new address
    int pingMs = 200;
    int verifyMs = 2000; // the probe and the ping that confirm the new address
};

// Steps told through Progress (besides the search steps of the search at the new address).
enum ProgrammingStep {
    ProgrammingStarted = 10,  // the question was answered yes; the LED goes off
    ProgrammingSent = 11,     // the datagram went out; the device restarts
    ProgrammingReachable = 12 // the device answers at its new address (IDS_105)
};

class ProgrammingProgress : public IdentifyProgress {
public:
    // The yes/no question before anything is sent; false ends the flow as declined.
    virtual bool confirm(const Confirmation &question) = 0;
    // The datagram was built; the port rule may have changed the port's text.
    virtual void datagramBuilt(const NetSettingsDatagram & /*datagram*/) {}

protected:
    ~ProgrammingProgress() = default;
};

struct Programmed {
    // Done: the device answers at its new address and was identified there; NoAnswer: it
    // did not come back; Declined, Refused: nothing was sent.
    Outcome outcome = Outcome::Declined;
    int messageId = 0; // the refusal's reason, IDS_105 or IDS_106
    NetSettingsDatagram datagram;
    Selection found;       // the search at the new address
    Identified identified; // at the new address, when it answers
    QStringList arpMacs;   // the PC's ARP list after the move
};

// The catalogue message why the settings may not be sent, 0 when they may.
int RefusalOf(const WriteButtonInput &input, const PingFunction &ping);

// Sends the settings to the link's current device (class filter and class from it) and
// verifies the device at its new address. A send error raises LinkError; the ARP cache is
// flushed at the end, also then.
Programmed ProgramNetwork(DeviceLink &link, const NetworkProgramming &input,
                          const SearchOptions &search, const PingFunction &ping,
                          ProgrammingProgress &progress, const ProgrammingTiming &timing = {});

} // namespace qev::flow
