#include "schedule/slot.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "schedule/param_string.h"
#include "schedule/split.h"
#include "system/mouse.h"
#include "system/numbers.h"
#include "system/text.h"

namespace keeprun {
namespace {

// The longest wait a click's delay gives.
constexpr double kLongestClickWait = 20;

std::vector<std::string> numbers_from(int first) {
    std::vector<std::string> items;
    for (int n = first; n <= 60; ++n)
        items.push_back(std::to_string(n));
    return items;
}

// A number as the shortest decimal text that reads back to it.
std::string decimal_text(double v) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

bool holds_separator(std::string_view text) {
    return text.find(kParamSeparator) != std::string_view::npos;
}

// Where a position field clicks: its digits and "*", and a minus sign before a
// piece's digits (a monitor left of or above the main one), when they make a point.
std::optional<std::string> click_target(std::string_view field) {
    std::string target;
    bool piece_started = false; // a digit or the sign of this piece was kept
    for (const char c : field) {
        const bool digit = c >= '0' && c <= '9';
        if (digit || c == '*' || (c == '-' && !piece_started)) target.push_back(c);
        piece_started = c != '*' && (piece_started || digit || c == '-');
    }
    if (!parse_coordinate(target)) return std::nullopt;
    return target;
}

} // namespace

void Slot::setup(int slot_number, std::string_view hint) {
    hint_ = std::string(hint);
    slot_number_ = slot_number;
    path_text_ = hint_;
    steps_.clear();
    changed();
}

std::string Slot::label() const {
    return "程序" + std::to_string(slot_number_);
}

void Slot::set_path_text(std::string text) {
    if (!holds_separator(text) && text != path_text_) {
        path_text_ = std::move(text);
        start_ = {};
    }
    changed();
}

const std::string& Slot::delay(int i) const {
    return delays_.at(at(i));
}

void Slot::set_delay(int i, std::string text) {
    if (!holds_separator(text)) delays_.at(at(i)) = std::move(text);
    changed();
}

const std::vector<std::string>& Slot::delay_items(int i) {
    static const std::vector<std::string> open_delays = numbers_from(6);
    static const std::vector<std::string> click_delays = numbers_from(2);
    return i == 0 ? open_delays : click_delays;
}

const std::string& Slot::position(int i) const {
    return positions_.at(at(i));
}

void Slot::set_position(int i, std::string text) {
    if (!holds_separator(text)) positions_.at(at(i)) = std::move(text);
    changed();
}

int Slot::switch_value(int k) const {
    return switches_.at(at(k));
}

void Slot::set_switch(int k, int value) {
    apply_switch(k, value);
    changed();
}

void Slot::apply_switch(int k, int value) {
    switches_.at(at(k)) = value;
}

const ChoiceList& Slot::choice_list(int k) const {
    return lists_.at(at(k));
}

void Slot::set_choice_text(int k, std::string text) {
    if (!holds_separator(text)) lists_.at(at(k)).text = std::move(text);
    changed();
}

std::string Slot::rule_text(int k) const {
    return trim_spaces(lists_.at(at(k)).text);
}

void Slot::changed() {
    settings_changed();
    if (on_change_) on_change_();
}

void Slot::reset_fields() {
    positions_ = {};
    delays_ = {"8", "3", "3", "3"};
    steps_.clear();
    path_text_ = hint_;
    start_ = {};
}

void Slot::clear_slot() {
    reset_fields();
    changed();
}

Marks Slot::refresh_marks() const {
    Marks m;
    m.path_is_program = path_shown_dark(ports_.rules, trim_spaces(path_text_));
    for (std::size_t i = 0; i < 4; ++i)
        m.position_set[i] = click_target(positions_[i]).has_value();
    m.rule_lists_on = rule_lists_on();
    return m;
}

std::string Slot::to_param_string() const {
    std::vector<std::string> f(kParamFieldCount);
    f[param_index(ParamField::path)] = path_text_;
    for (int i = 0; i < 4; ++i) {
        f[param_index(ParamField::wait, i)] = delays_[at(i)];
        f[param_index(ParamField::position, i)] = positions_[at(i)];
    }
    for (int k = 0; k < 2; ++k) {
        f[param_index(ParamField::switch_value, k)] = std::to_string(switches_[at(k)]);
        f[param_index(ParamField::rule, k)] = stored_rule(k);
    }
    f[param_index(ParamField::start_arguments)] = start_.arguments;
    f[param_index(ParamField::start_folder)] = start_.folder;
    std::string out = f.front();
    for (std::size_t i = 1; i < f.size(); ++i)
        out.append(kParamSeparator).append(f[i]);
    return out;
}

void Slot::apply_param_string(std::string_view text) {
    if (!holds_separator(text)) return;
    const std::vector<std::string> f = split_text(text, kParamSeparator);
    // An older or shorter text leaves the fields it lacks as they are.
    const auto field = [&](ParamField group, int i) -> const std::string* {
        const std::size_t n = param_index(group, i);
        return n < f.size() ? &f[n] : nullptr;
    };
    path_text_ = f[param_index(ParamField::path)];
    for (int i = 0; i < 4; ++i) {
        if (const std::string* v = field(ParamField::wait, i)) delays_[at(i)] = *v;
        if (const std::string* v = field(ParamField::position, i)) positions_[at(i)] = *v;
    }
    for (int k = 0; k < 2; ++k) {
        const std::string* v = field(ParamField::switch_value, k);
        if (v && (*v == "0" || *v == "1")) apply_switch(k, *v == "1" ? 1 : 0);
    }
    for (int k = 0; k < 2; ++k)
        if (const std::string* v = field(ParamField::rule, k)) restore_rule(k, *v);
    // They belong to the path: a text without them is a typed path.
    const auto start_field = [&](ParamField group) {
        const std::string* v = field(group, 0);
        return v ? *v : std::string();
    };
    start_ = {start_field(ParamField::start_arguments), start_field(ParamField::start_folder)};
    changed();
}

std::string Slot::usable_path() const {
    std::string path = trim_spaces(path_text_);
    return slot_path_usable(ports_.rules, path, ports_.files) ? path : std::string{};
}

void Slot::add_click_rows() {
    for (std::size_t i = 0; i < 4; ++i) {
        const std::optional<std::string> target = click_target(positions_[i]);
        if (!target) continue;
        steps_.add(StepAction::wait,
                   decimal_text(std::min(number_value(delays_[i]), kLongestClickWait)));
        steps_.add(StepAction::click, *target);
    }
}

bool Slot::run_step(int row) {
    Step& step = steps_.row(row);
    // The outside action may let window messages run, and with them "清除" or a
    // drop that empties this list; an emptied list stays empty.
    const std::uint64_t generation = steps_.generation();
    auto finish = [&] {
        if (steps_.generation() != generation) return;
        step.flag = StepFlag::done;
        stamp_next_wait(row);
    };
    switch (step.action) {
    case StepAction::open: {
        const std::string path = step.argument;
        const StartOutcome outcome = ports_.processes.open(path, start_);
        if (outcome == StartOutcome::pending) break; // asked again next tick
        // A failed start counts as a program that ended at once.
        last_start_ = ports_.clock.steady_seconds();
        const bool again = std::exchange(next_start_again_, false);
        if (outcome == StartOutcome::failed) {
            if (steps_.generation() == generation) skip_clicks_after(row);
            finish();
            report(SlotEventKind::open_failed, path, label() + "打开失败");
            break;
        }
        finish();
        program_started();
        report(SlotEventKind::opened, path, "打开" + label(), again);
        break;
    }
    case StepAction::close: {
        const std::string path = step.argument;
        ports_.processes.close(path);
        finish();
        report(SlotEventKind::closed, path, "关闭" + label(), opens_after(row));
        break;
    }
    case StepAction::click: {
        // A locked or disconnected desktop would swallow the click: it waits.
        if (!ports_.clicker.desktop_takes_input()) return false;
        const std::string position = step.argument;
        const int number = click_number(row);
        const bool done = ports_.clicker.click(position);
        finish();
        if (!done)
            report(SlotEventKind::click_failed, trim_spaces(path_text_),
                   label() + "第" + std::to_string(number) + "次点击未执行");
        break;
    }
    case StepAction::wait: {
        // On the steady clock: setting the wall clock neither stretches nor
        // shortens a wait.
        const std::int64_t now = ports_.clock.steady_seconds();
        if (!step.start) step.start = now;
        if (now - *step.start >= round_half_even(number_value(step.argument))) finish();
        break;
    }
    case StepAction::none:
        break;
    }
    return true;
}

int Slot::click_number(int row) const {
    int number = 0;
    for (int r = 1; r <= row; ++r)
        number += steps_.row(r).action == StepAction::click ? 1 : 0;
    return number;
}

void Slot::skip_clicks_after(int row) {
    // Each click follows its wait; a wait with no click after it stays.
    for (int r = row + 1; r <= steps_.size(); ++r) {
        const bool click = steps_.row(r).action == StepAction::click;
        const bool wait_for_click = steps_.row(r).action == StepAction::wait && r < steps_.size() &&
                                    steps_.row(r + 1).action == StepAction::click;
        if (click || wait_for_click) steps_.row(r).flag = StepFlag::done;
    }
}

void Slot::stamp_next_wait(int row) {
    if (row + 1 > steps_.size()) return;
    Step& next = steps_.row(row + 1);
    if (next.action == StepAction::wait) next.start = ports_.clock.steady_seconds();
}

std::string Slot::record_line(std::string_view text) const {
    return time_of_day_text(ports_.clock.now()) + " " + std::string(text);
}

void Slot::report(SlotEventKind kind, const std::string& path, std::string_view text, bool again) {
    ports_.events.slot_event({kind, slot_number_, path, record_line(text), again});
}

bool Slot::opens_after(int row) const {
    for (int r = row + 1; r <= steps_.size(); ++r)
        if (steps_.row(r).action == StepAction::open) return true;
    return false;
}

DropOutcome Slot::drop_files(const std::vector<std::string>& files) {
    if (files.empty()) return DropOutcome::no_file;
    const std::string& f = files.front();
    DropOutcome outcome = DropOutcome::ignored;
    std::string program;
    StartSettings start;
    // A path with the separator could not be stored: it counts as no program.
    const auto is_program = [&](const std::string& path) {
        return !holds_separator(path) && is_dropped_program(ports_.rules, path, ports_.files);
    };
    if (is_dropped_shortcut(ports_.rules, f)) {
        const auto shortcut = ports_.shortcuts.read(f);
        if (shortcut && is_program(shortcut->target) &&
            !holds_separator(shortcut->start.arguments) &&
            !holds_separator(shortcut->start.folder)) {
            program = shortcut->target;
            start = shortcut->start;
            outcome = DropOutcome::accepted;
        }
    } else if (is_program(f)) {
        program = f;
        outcome = DropOutcome::accepted;
    } else {
        outcome = DropOutcome::rejected;
    }
    if (outcome == DropOutcome::accepted) {
        reset_fields();
        path_text_ = program;
        start_ = start;
    }
    changed();
    return outcome;
}

} // namespace keeprun
