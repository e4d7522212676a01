#include "system/program_pins.h"

#include <chrono>
#include <thread>

namespace keeprun {
namespace {

// Most starts are over by then and are answered in the same call; a later
// call only looks.
constexpr std::chrono::milliseconds kQuickStart{250};

} // namespace

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

StartOutcome ProgramPins::open(const std::string& path, const StartSettings& how) {
    auto at = starts_.find(path);
    const bool fresh = at == starts_.end();
    if (fresh) {
        // Detached, so that ending keeprun never waits for a prompt's answer.
        std::packaged_task<PinnedProcess()> task([path, how] { return open_pinned(path, how); });
        at = starts_.emplace(path, task.get_future()).first;
        std::thread(std::move(task)).detach();
    }
    const auto wait = fresh ? kQuickStart : std::chrono::milliseconds{0};
    if (at->second.wait_for(wait) != std::future_status::ready) return StartOutcome::pending;
    PinnedProcess started = at->second.get();
    starts_.erase(at);
    if (!started) return StartOutcome::failed;
    pins_[path] = {std::move(started), true};
    return StartOutcome::started;
}

void ProgramPins::close(const std::string& path) {
    if (const auto at = pins_.find(path); at != pins_.end()) {
        // A program keeprun started counts even after it became another executable.
        if (at->second.started) kill_pinned(*at->second.process);
        pins_.erase(at);
    }
    close_program(path);
}

void ProgramPins::end_pinned(const std::string& path) {
    if (const auto at = pins_.find(path); at != pins_.end()) {
        kill_pinned(*at->second.process);
        pins_.erase(at);
    }
}

std::optional<long> ProgramPins::pinned_pid(const std::string& path) const {
    const auto at = pins_.find(path);
    if (at == pins_.end() || !pin_holds(*at->second.process)) return std::nullopt;
    return keeprun::pinned_pid(*at->second.process);
}

} // namespace keeprun
