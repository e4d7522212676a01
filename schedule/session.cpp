#include "schedule/session.h"

#include <algorithm>
#include <utility>

#include "system/text.h"

namespace keeprun {
namespace {

constexpr const char* kDragTip = "鼠标按住桌面或文件夹中的程序不松手，拖入此方框";
constexpr const char* kGuardTip = "建议退出全部杀毒和安全卫士，防止它们【干扰】本软件工作";
constexpr const char* kTimedTip = "鼠标按住桌面或文件夹中的程序不松手，拖入此方框，设置时间后生效";
constexpr const char* kStaggerTip = "如要定时重启或打开【多个】程序，建议错开时间，防止电脑卡顿";

} // namespace

Session::Session(const SessionPorts& ports)
    : ports_{ports.clock, ports.files,     ports.processes, ports.pings, ports.clicker, *this,
             *this,       ports.shortcuts, aliases_,        policy_,     ports.rules},
      slots_(ports_) {
    for (int n = 1; n <= 8; ++n)
        slot(n).set_on_change([this, n] { tell([n](SessionListener& l) { l.slot_changed(n); }); });
}

void Session::add_listener(SessionListener& listener) {
    listeners_.push_back(&listener);
}

void Session::remove_listener(SessionListener& listener) {
    std::erase(listeners_, &listener);
}

template <typename Call> void Session::tell(Call call) {
    // A listener may add or remove listeners meanwhile.
    for (SessionListener* listener : std::vector<SessionListener*>(listeners_))
        if (std::ranges::find(listeners_, listener) != listeners_.end()) call(*listener);
}

Slot& Session::slot(int slot_number) {
    return const_cast<Slot&>(std::as_const(*this).slot(slot_number));
}

const Slot& Session::slot(int slot_number) const {
    return slot_number <= 4 ? static_cast<const Slot&>(slots_.first(slot_number))
                            : slots_.second(slot_number - 4);
}

void Session::set_up_slots() {
    const char* const first_tips[4] = {kDragTip, kGuardTip, kGuardTip, kDragTip};
    const char* const second_tips[4] = {kTimedTip, kStaggerTip, kStaggerTip, kTimedTip};
    for (int k = 1; k <= 4; ++k)
        slots_.first(k).setup(k, first_tips[k - 1]);
    for (int k = 1; k <= 4; ++k)
        slots_.second(k).setup(k + 4, second_tips[k - 1]);
    slots_.master_init();
}

void Session::set_data_folder(std::string folder, std::string error) {
    data_folder_ = std::move(folder);
    unusable_ = std::move(error);
}

bool Session::may_load() {
    if (unusable_.empty()) unusable_ = unreadable_stored_file(data_folder_);
    return unusable_.empty();
}

void Session::load_settings() {
    if (!may_load()) return;
    set_option(load_option(data_folder_));
    set_policy({load_restart_hung(data_folder_)});
    set_notify(load_notify_settings(data_folder_));
    for (const std::string& line : load_record_lines(data_folder_))
        add_record_line(line);
}

void Session::load_slots() {
    if (!may_load()) return;
    const std::array<std::string, 8> strings = load_param_strings(data_folder_);
    for (int n = 1; n <= 8; ++n)
        slot(n).apply_param_string(strings[static_cast<std::size_t>(n - 1)]);
}

StoredSettings Session::stored() const {
    StoredSettings s;
    s.option = option_;
    s.restart_hung = policy_.restart_hung;
    s.notify = notify_;
    for (int n = 1; n <= 8; ++n)
        s.param_strings[static_cast<std::size_t>(n - 1)] = slot(n).to_param_string();
    s.record_lines.assign(record_.begin(), record_.end());
    return s;
}

bool Session::save() const {
    return save(stored());
}

bool Session::save(const StoredSettings& settings) const {
    return unusable_.empty() && save_settings(data_folder_, settings);
}

void Session::set_option(int value) {
    if (value == option_) return;
    option_ = value;
    tell([value](SessionListener& l) { l.option_changed(value); });
}

void Session::add_record_line(const std::string& line) {
    if (record_.size() >= kRecordLines) record_.pop_front();
    record_.push_back(trim_spaces(line));
    tell([this](SessionListener& l) { l.record_line_added(record_.back()); });
}

void Session::slot_event(const SlotEvent& event) {
    add_record_line(event.line);
    tell([&](SessionListener& l) { l.slot_event(event); });
}

void Session::set_policy(const SlotPolicy& policy) {
    if (policy.restart_hung == policy_.restart_hung) return;
    policy_ = policy;
    tell([this](SessionListener& l) { l.policy_changed(policy_); });
}

void Session::set_notify(const NotifySettings& settings) {
    if (settings == notify_) return;
    notify_ = settings;
    tell([this](SessionListener& l) { l.notify_changed(notify_); });
}

} // namespace keeprun
