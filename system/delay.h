#pragma once
// The program's one way of waiting: the window keeps processing its messages.
#include <cstdint>
#include <functional>

namespace keeprun {

// Runs pending window messages once; the program installs it, the engine's own
// tests leave it a no-op.
void set_message_pump(std::function<void()> pump);
void pump_messages();

// Milliseconds of a steady counter that wraps at 2^32, as the system tick count.
using TickSource = std::function<std::uint32_t()>;
// The tick counter now.
std::uint32_t tick_count();
// Replaces the tick counter (tests); an empty function restores the real one.
void set_tick_source(TickSource source);

// Waits `seconds` seconds: sleeps 1 ms, then lets pending messages run, until the
// tick count has advanced far enough. Zero or negative returns at once.
void wait_pumping_events(double seconds);

} // namespace keeprun
