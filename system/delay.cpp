#include "system/delay.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <utility>

namespace keeprun {
namespace {

std::function<void()>& pump() {
    static std::function<void()> p;
    return p;
}

TickSource& tick_source() {
    static TickSource t;
    return t;
}

} // namespace

std::uint32_t tick_count() {
    if (tick_source()) return tick_source()();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void set_message_pump(std::function<void()> p) {
    pump() = std::move(p);
}

void pump_messages() {
    if (pump()) pump()();
}

void set_tick_source(TickSource source) {
    tick_source() = std::move(source);
}

void wait_pumping_events(double seconds) {
    if (!(seconds > 0)) return;
    const double wanted = std::min(seconds * 1000.0, 4294967295.0);
    const std::uint32_t start = tick_count();
    // Unsigned difference: correct across a wrap of the counter.
    while (static_cast<double>(static_cast<std::uint32_t>(tick_count() - start)) < wanted) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        pump_messages();
    }
}

} // namespace keeprun
