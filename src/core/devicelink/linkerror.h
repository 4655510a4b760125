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
