#pragma once

#include <QFont>

// The window font: Tahoma when the system has it or a free Tahoma look-alike is found,
// otherwise a sans-serif face of similar width.
QFont ProgramFont();
