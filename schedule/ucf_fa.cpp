#include "schedule/ucf_fa.h"

namespace keeprun {

void ucf_fa::toggle_pause() {
    paused_ = !paused_;
    changed();
}

void ucf_fa::a_kongzhi_kg() {
    if (paused_ || ports().message_box.is_open()) return;
    if (const int row = steps().first_pending()) {
        run_step(row);
        return;
    }
    const std::string path = usable_path();
    if (path.empty() || ports().processes.is_running(path)) return;
    StepList& list = step_list();
    list.clear();
    list.add("ys", "2", serial_seconds(ports().clock.now()));
    list.add("op", path);
    add_click_rows();
}

} // namespace keeprun
