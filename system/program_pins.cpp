#include "system/program_pins.h"

namespace keeprun {

bool ProgramPins::is_running(const std::string& path, const ExeAliasTable& aliases) {
    if (const auto at = pins_.find(path); at != pins_.end()) {
        if (pin_holds(*at->second.process)) return true;
        pins_.erase(at);
    }
    PinnedProcess found = find_pinned(path, aliases);
    if (!found) return false;
    pins_[path] = {std::move(found), false};
    return true;
}

void ProgramPins::open(const std::string& path) {
    if (PinnedProcess started = open_pinned(path)) pins_[path] = {std::move(started), true};
}

void ProgramPins::close(const std::string& path) {
    if (const auto at = pins_.find(path); at != pins_.end()) {
        // A program keeprun started counts even after it became another executable.
        if (at->second.started) kill_pinned(*at->second.process);
        pins_.erase(at);
    }
    close_program(path);
}

} // namespace keeprun
