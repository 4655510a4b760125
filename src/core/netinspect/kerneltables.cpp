#include "netinspect/kerneltables.h"

namespace qev {

namespace {
KernelTables *g_replacement = nullptr;
} // namespace

KernelTables &kernelTables() {
    return g_replacement ? *g_replacement : systemKernelTables();
}

void setKernelTables(KernelTables *replacement) {
    g_replacement = replacement;
}

} // namespace qev
