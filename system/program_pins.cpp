#include "system/program_pins.h"

namespace keeprun {

bool ProgramPins::is_running(const std::string& path, const ExeAliasTable& aliases) {
    if (const auto at = pins_.find(path); at != pins_.end()) {
        if (pin_holds(*at->second)) return true;
        pins_.erase(at);
    }
    PinnedProcess found = find_pinned(path, aliases);
    if (!found) return false;
    pins_[path] = std::move(found);
    return true;
}

void ProgramPins::open(const std::string& path) {
    if (PinnedProcess started = open_pinned(path)) pins_[path] = std::move(started);
}

void ProgramPins::close(const std::string& path) {
    if (const auto at = pins_.find(path); at != pins_.end()) {
        // A program keeprun started counts even after it became another executable.
        kill_pinned(*at->second);
        pins_.erase(at);
    }
    close_program(path);
}

void ProgramPins::end_pinned(const std::string& path) {
    if (const auto at = pins_.find(path); at != pins_.end()) {
        kill_pinned(*at->second);
        pins_.erase(at);
    }
}

std::optional<long> ProgramPins::pinned_pid(const std::string& path) const {
    const auto at = pins_.find(path);
    if (at == pins_.end() || !pin_holds(*at->second)) return std::nullopt;
    return keeprun::pinned_pid(*at->second);
}

} // namespace keeprun
