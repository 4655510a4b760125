#include "flows/report.h"

#include "devicelink/devicelink.h"
#include "netinspect/adapters.h"

namespace qev::flow {

Confirmation ScanDiskQuestion() {
    return {IDS_142, {IDS_140, QStringLiteral("\r\n\n"), IDS_141}};
}

report::ReportOutcome CollectProfile(report::ReportTable &table, DeviceLink &link,
                                     report::ReportSettings settings,
                                     const std::function<QString(int messageId)> &messageText,
                                     const report::ReportHooks &hooks) {
    settings.pcDataStatus = messageText(IDS_145);
    settings.devicesStatus = messageText(IDS_143);
    settings.foreignStatus = messageText(IDS_144);
    if (settings.broadcastAddress.isEmpty())
        settings.broadcastAddress = GetLocalBroadcast();

    const DeviceLink::Busy busy(link);
    return report::CollectReport(table, link, settings, hooks);
}

} // namespace qev::flow
