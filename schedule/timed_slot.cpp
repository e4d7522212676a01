#include "schedule/timed_slot.h"

#include <algorithm>

#include "schedule/time_rule.h"
#include "schedule/watch_limits.h"
#include "system/text.h"

namespace keeprun {
namespace {

constexpr std::size_t kFirstClockLine = 6;
constexpr int kDefaultCloseIndex = 1201; // "20:01:00"
constexpr std::int64_t kDaySeconds = 86400;

// A rule as the parameter string holds it: a time of day as HH:MM:SS.
std::string stored_form(std::string rule) {
    const std::optional<int> time = parse_time_of_day(rule);
    return time ? time_of_day_text(local_time_from_serial(*time)) : rule;
}

} // namespace

void TimedSlot::setup_rule_lists(const std::vector<std::string>& rule_lines, int default_rule) {
    for (std::size_t i = 0; i < rule_lines.size(); ++i) {
        choice_list_mut(0).items.push_back(rule_lines[i]);
        if (i >= kFirstClockLine) choice_list_mut(1).items.push_back(rule_lines[i]);
    }
    default_rule_ = default_rule;
    select_rule(0, default_rule);
    select_rule(1, kDefaultCloseIndex);
    changed();
}

void TimedSlot::select_rule(int k, int index) {
    ChoiceList& list = choice_list_mut(k);
    if (index >= 0 && static_cast<std::size_t>(index) < list.items.size())
        list.text = list.items[static_cast<std::size_t>(index)];
}

void TimedSlot::apply_switch(int k, int value) {
    Slot::apply_switch(k, value);
    if (value == 1) Slot::apply_switch(1 - k, 0);
}

std::string TimedSlot::stored_rule(int k) const {
    return stored_form(rule_text(k));
}

void TimedSlot::restore_rule(int k, const std::string& stored) {
    const std::string rule = stored_form(trim_spaces(stored));
    ChoiceList& list = choice_list_mut(k);
    if (parse_time_of_day(rule) || std::ranges::find(list.items, rule) != list.items.end()) {
        list.text = rule;
        return;
    }
    select_rule(k, k == 0 ? default_rule_ : kDefaultCloseIndex);
    apply_switch(k, 0);
}

std::optional<std::array<bool, 2>> TimedSlot::rule_lists_on() const {
    return std::array<bool, 2>{switch_value(0) == 1, switch_value(1) == 1};
}

void TimedSlot::tick() {
    if (ports().message_box.is_open()) return;
    watch_start();
    // Held clicks wait at most until the next start, which replaces them.
    if (const int row = steps().first_pending(); row && run_step(row)) return;
    const bool restart = switch_value(0) == 1;
    const bool close = switch_value(1) == 1;
    // An idle slot looks at no file.
    if (!restart && !close) return;
    const std::string path = usable_path();
    if (path.empty()) return;
    const std::string rule = close ? rule_text(1) : rule_text(0);
    const LocalTime now = ports().clock.now();
    const std::optional<int> window = due_window(rule, time_of_day_text(now));
    if (!window) return;
    // A due window starts its list once, even when the wall clock is set back
    // into it again.
    const std::int64_t today = serial_seconds(LocalTime{now.year, now.month, now.day, 0, 0, 0});
    if (!fired_windows_.insert(today + *window).second) return;
    fired_windows_.erase(fired_windows_.begin(),
                         fired_windows_.lower_bound(serial_seconds(now) - kDaySeconds));
    StepList& list = step_list();
    list.clear();
    list.add(StepAction::close, path);
    if (restart) {
        list.add(StepAction::wait, "3");
        list.add(StepAction::open, path);
        add_click_rows();
    }
    list.add(StepAction::wait, "6");
}

void TimedSlot::watch_start() {
    const std::optional<std::int64_t> start = last_start();
    if (!start || start == judged_start_) return;
    const std::int64_t age = ports().clock.steady_seconds() - *start;
    if (age >= kQuickExitSeconds && age < kLastingStartSeconds) return;
    const std::string path = usable_path();
    const bool running = !path.empty() && ports().processes.is_running(path, ports().aliases);
    if (age >= kLastingStartSeconds) {
        if (running) quick_exits_ = 0;
        judged_start_ = start;
        return;
    }
    if (running) return;
    judged_start_ = start;
    if (++quick_exits_ >= kQuickExitsBeforeWaiting)
        report(SlotEventKind::crash_loop, path,
               label() + "连续" + std::to_string(quick_exits_) + "次很快退出");
}

} // namespace keeprun
