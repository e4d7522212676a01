#include "schedule/master_switch.h"

#include <string>
#include <vector>

#include "schedule/split.h"
#include "system/numbers.h"
#include "system/text.h"

namespace keeprun {
namespace {

constexpr std::string_view kDefaultRules = " 6 3 4 5";

// One slot's step; whatever it throws stays with that slot.
void step_guarded(Slot& slot) {
    try {
        slot.tick();
    } catch (...) {
    }
}

} // namespace

MasterSwitch::MasterSwitch(const Ports& ports)
    : first_{KeepAliveSlot(ports), KeepAliveSlot(ports), KeepAliveSlot(ports),
             KeepAliveSlot(ports)},
      second_{TimedSlot(ports), TimedSlot(ports), TimedSlot(ports), TimedSlot(ports)} {}

void MasterSwitch::master_init() {
    load_time_lists();
}

void MasterSwitch::load_time_lists() {
    const std::string text = custom_resource_text("SHIJIAN", 2);
    const std::vector<std::string> defaults = split_text(kDefaultRules, " ");
    const std::vector<std::string> lines = split_text(text, "\r\n");
    for (int k = 1; k <= 4; ++k)
        second(k).setup_rule_lists(
            lines, static_cast<int>(number_value(defaults[static_cast<std::size_t>(k)])));
}

void MasterSwitch::master_tick() {
    if (!startup_done_ || in_tick_) return;
    in_tick_ = true;
    for (KeepAliveSlot& slot : first_)
        step_guarded(slot);
    for (TimedSlot& slot : second_)
        step_guarded(slot);
    in_tick_ = false;
}

} // namespace keeprun
