#include "schedule/keep_alive_slot.h"

#include <algorithm>

namespace keeprun {

void KeepAliveSlot::toggle_pause() {
    paused_ = !paused_;
    changed();
}

void KeepAliveSlot::settings_changed() {
    quick_exits_ = 0;
    seen_running_ = false;
}

void KeepAliveSlot::tick() {
    if (paused_ || ports().message_box.is_open()) return;
    // Held clicks wait at most until the next start, which replaces them.
    if (const int row = steps().first_pending(); row && run_step(row)) return;
    const std::string path = usable_path();
    if (path.empty()) return;
    const std::int64_t now = ports().clock.steady_seconds();
    if (ports().processes.is_running(path, ports().aliases)) {
        seen_running_ = true;
        if (last_start() && now - *last_start() >= kLastingStartSeconds) quick_exits_ = 0;
        if (!ended_unwell(path, now)) return;
    } else if (last_start() && now - *last_start() < kQuickExitSeconds) {
        ++quick_exits_;
    }
    start_again(path, now);
}

bool KeepAliveSlot::ended_unwell(const std::string& path, std::int64_t now) {
    if (now >= next_crash_check_) {
        next_crash_check_ = now + kCrashCheckSeconds;
        if (ports().processes.end_if_crashed(path)) {
            report(SlotEventKind::crashed, path, label() + "已崩溃");
            return true;
        }
    }
    if (!ports().policy.restart_hung || now < next_ping_) return false;
    next_ping_ = now + kPingEverySeconds;
    switch (ports().pings.reply(path)) {
    case PingReply::silent:
        if (!silent_since_) silent_since_ = last_ping_;
        break;
    case PingReply::answered:
    case PingReply::not_asked:
        silent_since_.reset();
        break;
    }
    if (silent_since_ && now - *silent_since_ >= kHungAfterSeconds) {
        ports().processes.end_pinned(path);
        report(SlotEventKind::hung, path, label() + "未响应");
        return true;
    }
    ports().pings.ping(path);
    last_ping_ = now;
    return false;
}

void KeepAliveSlot::start_again(const std::string& path, std::int64_t now) {
    silent_since_.reset();
    last_ping_.reset();
    next_ping_ = 0;
    int wait = 2;
    if (quick_exits_ >= kQuickExitsBeforeWaiting) {
        const auto step = static_cast<std::size_t>(std::min(
            quick_exits_ - kQuickExitsBeforeWaiting, static_cast<int>(kCrashLoopWaits.size()) - 1));
        wait = kCrashLoopWaits[step];
        report(SlotEventKind::crash_loop, path,
               label() + "连续" + std::to_string(quick_exits_) + "次很快退出，" +
                   std::to_string(wait) + "秒后再打开");
    }
    mark_next_start_again(seen_running_);
    StepList& list = step_list();
    list.clear();
    list.add(StepAction::wait, std::to_string(wait), now);
    list.add(StepAction::open, path);
    add_click_rows();
}

} // namespace keeprun
