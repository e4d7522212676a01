#pragma once
// The engine's heart beat: the eight slots, their time-rule lists, and the tick
// that asks each slot in turn for its next step.
#include <array>

#include "schedule/keep_alive_slot.h"
#include "schedule/ports.h"
#include "schedule/timed_slot.h"

namespace keeprun {

class MasterSwitch {
  public:
    explicit MasterSwitch(const Ports& ports);

    // Slots by element number 1..4: first kind (slot numbers 1-4), second kind (5-8).
    KeepAliveSlot& first(int k) { return first_.at(static_cast<std::size_t>(k - 1)); }
    TimedSlot& second(int k) { return second_.at(static_cast<std::size_t>(k - 1)); }
    const KeepAliveSlot& first(int k) const { return first_.at(static_cast<std::size_t>(k - 1)); }
    const TimedSlot& second(int k) const { return second_.at(static_cast<std::size_t>(k - 1)); }

    // Once at start-up, after the slots' setup and before their stored settings.
    void master_init();
    void load_time_lists();

    // Set once when start-up has finished; until then every tick does nothing.
    void set_startup_done() { startup_done_ = true; }
    bool startup_done() const { return startup_done_; }

    // Every 500 ms: each first-kind slot, then each second-kind slot, one step.
    // A tick arriving while another is inside a step (a click lets window
    // messages run) is skipped; a slot whose step fails does not stop the others.
    void master_tick();

  private:
    std::array<KeepAliveSlot, 4> first_;
    std::array<TimedSlot, 4> second_;
    bool startup_done_ = false;
    bool in_tick_ = false;
};

} // namespace keeprun
