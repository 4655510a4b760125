#pragma once

// Runs a parsed qevctl command against the devices and prints what it found: text for a
// person, JSON or CSV for a script. Messages of the devices' outcomes come from the
// program's message catalogue in the active language.

#include "ctlcommand.h"

#include <QTextStream>

namespace qevctl {

struct Output {
    QTextStream &out;      // data and messages
    QTextStream &err;      // errors and usage
    bool terminal = false; // out is a terminal: a progress bar instead of progress lines
    // Answers to questions; none, or not a terminal: nobody can answer, so nothing is asked.
    QTextStream *in = nullptr;
    bool inTerminal = false;
};

// Returns the exit status.
int RunCommand(const Command &command, Output &output);

// The whole program: parses, sets up the application and the language, runs.
int Main(int argc, char **argv);

} // namespace qevctl
