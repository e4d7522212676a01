#include "app/system_ports.h"

#include "app/main_window.h"
#include "system/mouse.h"
#include "system/program_pins.h"
#include "ui/click_mark.h"
#include "ui/units.h"

namespace keeprun {

bool ProgramPorts::is_running(const std::string& path) {
    return pins_.is_running(path, window->exe_alias_table());
}

void ProgramPorts::open(const std::string& path) {
    pins_.open(path);
}

void ProgramPorts::close(const std::string& path) {
    pins_.close(path);
}

void ProgramPorts::click(const std::string& position) {
    click_at(position, [] {
        if (const auto at = cursor_pos()) show_click_mark(win_color(255), at->x, at->y);
    });
}

void ProgramPorts::append(const std::string& line) {
    window->add_record_line(line);
}

bool ProgramPorts::is_open() const {
    return window->message_panel->open_state() == 1;
}

} // namespace keeprun
