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

} // namespace qev
