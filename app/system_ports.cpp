#include "app/system_ports.h"

#include "system/mouse.h"
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

void ProgramPorts::click(const std::string& position) {
    click_at(position, [] {
        if (const auto at = cursor_pos()) show_click_mark(win_color(kRed), at->x, at->y);
    });
}

} // namespace keeprun
