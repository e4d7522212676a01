#include "schedule/slot.h"

#include <charconv>

#include "schedule/split.h"
#include "system/mouse.h"
#include "system/numbers.h"
#include "system/text.h"

namespace keeprun {
namespace {

constexpr std::string_view kSeparator = "[*]";
constexpr int kFieldCount = 16;
constexpr int kLongestWait = 20;

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
    return text.find(kSeparator) != std::string_view::npos;
}

// Where a position field clicks: its digits and "*", when they make a point.
std::optional<std::string> click_target(std::string_view field) {
    std::string target = keep_only_chars(field, "0123456789*");
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
    if (!holds_separator(text)) path_text_ = std::move(text);
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

void Slot::changed() const {
    if (on_change_) on_change_();
}

void Slot::reset_fields() {
    positions_ = {};
    delays_ = {"8", "3", "3", "3"};
    steps_.clear();
    path_text_ = hint_;
}

void Slot::clear_slot() {
    reset_fields();
    changed();
}

Marks Slot::refresh_marks() const {
    Marks m;
    m.path_fore =
        path_shown_dark(ports_.rules, trim_spaces(path_text_)) ? kColourNearBlack : kColourGrey;
    for (std::size_t i = 0; i < 4; ++i) {
        const bool set = click_target(positions_[i]).has_value();
        m.position_set[i] = set;
        m.delay_back[i] = set ? kColourWhite : kColourUnsetField;
        m.position[i] = set ? FieldColours{kColourWhite, kColourNearBlack}
                            : FieldColours{kColourUnsetField, kColourGrey};
    }
    m.rule_lists = rule_list_marks();
    return m;
}

std::string Slot::to_param_string() const {
    std::string out = path_text_;
    auto field = [&](std::string_view f) {
        out += kSeparator;
        out += f;
    };
    for (const std::string& d : delays_)
        field(d);
    for (const std::string& p : positions_)
        field(p);
    for (int s : switches_)
        field(std::to_string(s));
    for (int k = 0; k < 2; ++k)
        field(stored_rule(k));
    for (int reserved = 13; reserved < kFieldCount; ++reserved)
        field("");
    return out;
}

void Slot::apply_param_string(std::string_view text) {
    if (!holds_separator(text)) return;
    const std::vector<std::string> f = split_text(text, kSeparator);
    const auto has = [&](std::size_t i) { return i < f.size(); };
    path_text_ = f[0];
    for (std::size_t i = 0; i < 4; ++i) {
        if (has(i + 1)) delays_[i] = f[i + 1];
        if (has(i + 5)) positions_[i] = f[i + 5];
    }
    for (int k = 0; k < 2; ++k) {
        const std::size_t i = at(9 + k);
        if (has(i) && (f[i] == "0" || f[i] == "1")) apply_switch(k, f[i] == "1" ? 1 : 0);
    }
    for (int k = 0; k < 2; ++k)
        if (has(at(11 + k))) restore_rule(k, f[at(11 + k)]);
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
        steps_.add("wait", decimal_text(number_value(delays_[i])));
        steps_.add("click", *target);
    }
}

void Slot::run_step(int row) {
    Step& step = steps_.row(row);
    // The outside action may let window messages run, and with them "清除" or a
    // drop that empties this list; an emptied list stays empty.
    const std::uint64_t generation = steps_.generation();
    auto finish = [&] {
        if (steps_.generation() != generation) return;
        step.flag = "0";
        stamp_next_wait(row);
    };
    if (step.action == "open") {
        const std::string path = step.argument;
        ports_.processes.open(path);
        finish();
        record(" 打开程序");
    } else if (step.action == "close") {
        const std::string path = step.argument;
        ports_.processes.close(path);
        finish();
        record(" 关闭程序");
    } else if (step.action == "click") {
        const std::string position = step.argument;
        ports_.clicker.click(position);
        finish();
    } else if (step.action == "wait") {
        // On the steady clock: setting the wall clock neither stretches nor
        // shortens a wait.
        const std::int64_t now = ports_.clock.steady_seconds();
        if (!step.start) step.start = now;
        long long wait = round_half_even(number_value(step.argument));
        if (wait > kLongestWait) wait = kLongestWait;
        if (now - *step.start >= wait) finish();
    }
}

void Slot::stamp_next_wait(int row) {
    if (row + 1 > steps_.size()) return;
    Step& next = steps_.row(row + 1);
    if (next.action == "wait") next.start = ports_.clock.steady_seconds();
}

void Slot::record(std::string_view what) {
    const std::string line =
        time_of_day_text(ports_.clock.now()) + std::string(what) + std::to_string(slot_number_);
    ports_.record.append(trim_spaces(line));
}

DropOutcome Slot::drop_files(const std::vector<std::string>& files) {
    if (files.empty()) return DropOutcome::no_file;
    const std::string& f = files.front();
    DropOutcome outcome = DropOutcome::ignored;
    std::string program;
    // A path with the separator could not be stored: it counts as no program.
    const auto is_program = [&](const std::string& path) {
        return !holds_separator(path) && is_dropped_program(ports_.rules, path, ports_.files);
    };
    if (is_dropped_shortcut(ports_.rules, f)) {
        const auto target = ports_.shortcuts.target(f);
        if (target && is_program(*target)) {
            program = *target;
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
    }
    changed();
    return outcome;
}

} // namespace keeprun
