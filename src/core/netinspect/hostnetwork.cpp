#include "netinspect/hostnetwork.h"

namespace qev {

namespace {
HostNetwork *g_replacement = nullptr;
} // namespace

HostNetwork &hostNetwork() {
    return g_replacement ? *g_replacement : systemHostNetwork();
}

void setHostNetwork(HostNetwork *replacement) {
    g_replacement = replacement;
}

} // namespace qev
