#include "devicelink/eventpump.h"

#include <QElapsedTimer>
#include <chrono>
#include <thread>

namespace qev {

namespace {

// Long enough to leave the processor to others, short enough that input in the window
// is handled without a noticeable delay.
constexpr qint64 SliceMs = 5;

} // namespace

namespace {

EventPump &windowPump() {
    static EventPump pump;
    return pump;
}

} // namespace

void InstallWindowPump(EventPump pump) {
    windowPump() = std::move(pump);
}

bool WindowPumpInstalled() {
    return static_cast<bool>(windowPump());
}

void RunWindowPump() {
    if (const EventPump &pump = windowPump())
        pump();
}

void YieldSlice() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void WaitWithMessages(quint16 ms, const EventPump &pump) {
    QElapsedTimer clock;
    clock.start();
    qint64 elapsed = 0;
    do {
        const qint64 rest = ms - elapsed + 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(qBound<qint64>(1, rest, SliceMs)));
        if (pump)
            pump();
        elapsed = clock.elapsed();
    } while (elapsed <= ms);
}

} // namespace qev
