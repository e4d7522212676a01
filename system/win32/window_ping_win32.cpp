#include "system/window_ping.h"

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace keeprun {
namespace {

// How long one window may take to answer before it counts as hung.
constexpr UINT kAnswerMs = 5000;

// One ping's outcome, filled by its worker: a hung window can hold a
// SendMessageTimeout for the whole limit, which the user-interface thread never waits for.
struct Outcome {
    std::mutex mutex;
    bool done = false;
    WindowAnswer answer = WindowAnswer::not_asked;
};

std::map<long, std::shared_ptr<Outcome>>& outcomes() {
    static std::map<long, std::shared_ptr<Outcome>> all;
    return all;
}

struct Search {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK collect(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && IsWindowVisible(window)) search->windows.push_back(window);
    return TRUE;
}

WindowAnswer ask(DWORD pid) {
    Search search{pid, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
    if (search.windows.empty()) return WindowAnswer::not_asked;
    for (HWND window : search.windows) {
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &result))
            return WindowAnswer::answered;
    }
    return WindowAnswer::silent;
}

} // namespace

std::string window_ping_open(const char*) {
    return {};
}

void ping_windows(long pid) {
    auto outcome = std::make_shared<Outcome>();
    outcomes()[pid] = outcome;
    std::thread([outcome, pid] {
        const WindowAnswer answer = ask(static_cast<DWORD>(pid));
        const std::lock_guard<std::mutex> lock(outcome->mutex);
        outcome->answer = answer;
        outcome->done = true;
    }).detach();
}

WindowAnswer windows_answer(long pid) {
    const auto at = outcomes().find(pid);
    if (at == outcomes().end()) return WindowAnswer::not_asked;
    const std::shared_ptr<Outcome> outcome = at->second;
    outcomes().erase(at);
    const std::lock_guard<std::mutex> lock(outcome->mutex);
    // Still waiting for a window after the whole pause: it did not answer.
    return outcome->done ? outcome->answer : WindowAnswer::silent;
}

} // namespace keeprun
