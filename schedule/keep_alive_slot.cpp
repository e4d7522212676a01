#include "schedule/keep_alive_slot.h"

namespace keeprun {

void KeepAliveSlot::toggle_pause() {
    paused_ = !paused_;
    changed();
}

void KeepAliveSlot::tick() {
    if (paused_ || ports().message_box.is_open()) return;
    if (const int row = steps().first_pending()) {
        run_step(row);
        return;
    }
    const std::string path = usable_path();
    if (path.empty() || ports().processes.is_running(path, ports().aliases)) return;
    StepList& list = step_list();
    list.clear();
    list.add(StepAction::wait, "2", ports().clock.steady_seconds());
    list.add(StepAction::open, path);
    add_click_rows();
}

} // namespace keeprun
