#pragma once

// Waits that keep the window responsive. The link never processes window messages itself:
// the caller hands in a pump (the program passes one that processes Qt events, tests pass
// their own).

#include <QtGlobal>
#include <functional>

namespace qev {

using EventPump = std::function<void()>;

// Gives up the processor for a moment, so that waiting loops never spin.
void YieldSlice();

// Repeats "yield, then pump" until more than ms milliseconds have passed.
void WaitWithMessages(quint16 ms, const EventPump &pump);

// The pump of the program's window, run between the slices of every socket wait so that
// no receive freezes the window. Empty (the default, and in tests that do not set one):
// a receive waits in one piece.
void InstallWindowPump(EventPump pump);
bool WindowPumpInstalled();
void RunWindowPump();

// How long one slice of a socket wait lasts while a window pump is installed.
inline constexpr int WaitSliceMs = 10;

} // namespace qev
