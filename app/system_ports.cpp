#include "app/system_ports.h"

#include "system/mouse.h"
#include "system/process.h"
#include "system/window_ping.h"
#include "ui/click_mark.h"
#include "ui/control_color.h"
#include "ui/units.h"

namespace keeprun {

bool ProgramPorts::is_running(const std::string& path, const ExeAliasTable& aliases) {
    return pins_.is_running(path, aliases);
}

StartOutcome ProgramPorts::open(const std::string& path, const StartSettings& how) {
    return pins_.open(path, how);
}

void ProgramPorts::close(const std::string& path) {
    pins_.close(path);
}

void ProgramPorts::end_pinned(const std::string& path) {
    pins_.end_pinned(path);
}

bool ProgramPorts::end_if_crashed(const std::string& path) {
    const auto pid = pins_.pinned_pid(path);
    if (!pid || !end_crash_dialog_of(*pid)) return false;
    pins_.end_pinned(path);
    return true;
}

PingReply ProgramPorts::reply(const std::string& path) {
    const auto pid = pins_.pinned_pid(path);
    if (!pid) return PingReply::not_asked;
    switch (windows_answer(*pid)) {
    case WindowAnswer::answered:
        return PingReply::answered;
    case WindowAnswer::silent:
        return PingReply::silent;
    case WindowAnswer::not_asked:
        break;
    }
    return PingReply::not_asked;
}

void ProgramPorts::ping(const std::string& path) {
    if (const auto pid = pins_.pinned_pid(path)) ping_windows(*pid);
}

bool ProgramPorts::desktop_takes_input() {
    return keeprun::desktop_takes_input();
}

bool ProgramPorts::click(const std::string& position) {
    return click_at(position, [] {
        if (const auto at = cursor_pos()) show_click_mark(win_color(kRed), at->x, at->y);
    });
}

} // namespace keeprun
