#pragma once

#include <stdexcept>

namespace qev {

// A socket error of the device link: the system refused a send, or the peer reported
// that an earlier datagram reached a closed port. Callers that can go on catch it.
class LinkError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace qev

namespace qev {

// An exchange was asked for while another one waits for its reply. Both would share the
// CommandBuffer, so the second is refused; the window disables what starts traffic while
// the link is busy, so this is a last line of defence.
class LinkBusy : public LinkError {
public:
    LinkBusy()
        : LinkError("the device link is busy with another exchange") {}
};

} // namespace qev
