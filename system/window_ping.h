#pragma once
// Asks a program's top-level windows whether they still answer: on X11 through
// the _NET_WM_PING protocol of each window of the process that takes it, on
// Windows whether its visible windows are hung. Nothing waits for the program.
// Call from the user-interface thread only.
#include <string>

namespace keeprun {

enum class WindowAnswer {
    not_asked, // no window of the process could be asked
    answered,  // a window answered
    silent,    // windows were asked and none answered
};

// Opens what the asking needs (on X11 a connection of its own; nullptr:
// $DISPLAY). "" on success, else a message for the user; without it nothing
// is asked and every answer is not_asked.
std::string window_ping_open(const char* display_name = nullptr);
// Asks every top-level window of process `pid` that can be asked.
void ping_windows(long pid);
// What the windows of process `pid` made of the last ping_windows(pid).
WindowAnswer windows_answer(long pid);

} // namespace keeprun
