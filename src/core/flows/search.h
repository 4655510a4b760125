#pragma once

// Finding a device and making it the current device: the search of "Suche Geräte", the
// manual selection by device kind or known address, and the identification that both end
// with (and that the network programming runs at the device's new address).

#include "devicelink/eventpump.h"
#include "devicelink/identification.h"
#include "devicelink/replies.h"
#include "devicelink/selection.h"
#include "flows/flow.h"

#include <QString>

namespace qev {
class DeviceLink;
}

namespace qev::flow {

// What a search needs besides the link.
struct SearchOptions {
    QString pcAddress; // the PC's IPv4 address: the found device is judged against its network
    DevicePicker pick; // asked when two or more devices answer
    EventPump pump;    // keeps the caller responsive while the answers are collected
    int timeoutMs = SearchTimeoutMs;
};

// Steps of the search flows, told through Progress.
enum SearchStep {
    SearchCollecting = 1,  // the search or the direct request runs
    SearchIdentifying = 2, // the search is over; the chosen device is identified
};

class IdentifyProgress : public Progress {
public:
    // The chosen device as it is shown before it is asked anything: the "Gefunden" group,
    // the LED and the status. The link's current device already has its host and port.
    virtual void found(const DeviceRecord & /*device*/, const FoundPresentation & /*shown*/) {}

protected:
    ~IdentifyProgress() = default;
};

// The device to make current, as a search or the manual selection found it.
struct Found {
    DeviceRecord device;
    int count = 0;             // devices found; below 1 nothing is asked
    bool nothingFound = false; // the search got no answer at all
};

struct Identified {
    // Done: the device was asked (identification says what it reported); NoAnswer: it is
    // in the PC's network and answered neither form; NoDevice: there was none to ask.
    Outcome outcome = Outcome::NoDevice;
    // IDS_110 for no device (not when the search found nothing at all), IDS_106 for no
    // answer; 0 when the presentation's status stands.
    int messageId = 0;
    FoundPresentation shown;
    IdentificationResult identification;
};

// Makes a found device the link's current device: its host and port, then the
// identification exchange with the class dispatch and the serial number. A send error
// raises LinkError.
Identified Identify(DeviceLink &link, const Found &found, const QString &pcAddress,
                    IdentifyProgress &progress);

struct Searched {
    Selection found;       // what the search or the direct request found
    Identified identified; // NoDevice without identification when the choice was not taken
};

// "Suche Geräte": flushes the ARP cache, searches every class, lets `pick` choose among
// several, identifies the chosen device (also when none was found) and decides whether it
// may be programmed. Errors of the search count as nothing found.
Searched Search(DeviceLink &link, const SearchOptions &options, IdentifyProgress &progress);

// The manual selection: `selectedIndex` is the chosen device kind (-1 for none), whose class
// becomes the current class; a complete `searchAddress` (or no kind) asks that address
// directly, otherwise the search offers only devices of the kind. A found device is
// identified; otherwise the current class returns to 0. A receive error of the direct
// request raises LinkError.
Searched SelectManually(DeviceLink &link, int selectedIndex, const QString &searchAddress,
                        const SearchOptions &options, IdentifyProgress &progress);

} // namespace qev::flow
