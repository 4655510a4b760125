#pragma once

// "Liste drucken": the collection of the network profile report. The question whether the
// disk is searched as well is put by the caller; its answer is settings.scanDisk.

#include "devicelink/netsettings.h"
#include "report/profilereport.h"

#include <QString>
#include <functional>

namespace qev {
class DeviceLink;
}

namespace qev::flow {

// The yes/no question before the collection: search the disk for installed programs too?
Confirmation ScanDiskQuestion();

// Collects the report into table with the link busy throughout. The phases' status texts
// come from messageText (the catalogue in the active language); the discovery goes to the
// PC's broadcast address when settings name none. What CollectReport returns and raises.
report::ReportOutcome CollectProfile(report::ReportTable &table, DeviceLink &link,
                                     report::ReportSettings settings,
                                     const std::function<QString(int messageId)> &messageText,
                                     const report::ReportHooks &hooks);

} // namespace qev::flow
