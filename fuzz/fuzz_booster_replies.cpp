// The readers of the booster bus's replies (list, name, info, serials, gateway settings
// and name, acknowledgements), fed with arbitrary bytes of arbitrary length.

#include "pages/booster.h"
#include "pages/boostergateway.h"
#include "pages/boosterlist.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::span<const quint8> reply(data, size);
    namespace bl = qev::boosterlist;
    namespace gw = qev::boostergateway;
    (void)bl::ReadList(reply);
    (void)bl::ListAnswered(reply);
    (void)bl::ReadName(reply);
    (void)bl::ReadVersion(reply);
    (void)bl::ReadSerials(reply);
    (void)bl::NameWriteAccepted(reply);
    (void)gw::ReadSettings(reply, gw::Settings{});
    (void)gw::ReadName(reply);
    (void)gw::WriteAcknowledged(reply);
    (void)qev::booster::SettingsAccepted(reply);
    (void)qev::booster::ReadInfoSensitivity(reply);
    (void)qev::booster::NewAddressAccepted(reply);
    return 0;
}
