#pragma once

// Runs the qevctl program of the build and collects what it printed.

#include <QString>
#include <QStringList>

namespace qevtest {

struct CtlRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs qevctl (QEVCTL_PATH) with the arguments; --lang en comes first, so messages are the
// catalogue's English texts.
CtlRun RunQevctl(const QStringList &arguments, int timeoutMs = 60000);

} // namespace qevtest
