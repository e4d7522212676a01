#pragma once
// The mouse on the X display: clicking at a stored screen position and reading
// the cursor. Positions are device pixels. Call from the user-interface thread only.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace keeprun {

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// "x*y" -> the point: pieces read as numbers and rounded, pieces after the
// second are ignored; nothing unless both pieces hold a digit.
std::optional<ScreenPoint> parse_coordinate(std::string_view pos);
// The point as "x*y", the form of the readout, the clipboard and the slots.
std::string coordinate_text(ScreenPoint point);

// Connects to the display (nullptr: $DISPLAY). "" on success, else a message
// for the user; without a connection the routines below do nothing.
std::string mouse_open(const char* display_name = nullptr);
// Drops the connection (before the display goes away).
void mouse_close();

// Shows where a click landed; it may wait (and run messages) with wait_pumping_events.
using ClickMarkHook = std::function<void()>;
// Whether a click would reach the desktop: not while the session is locked or
// disconnected, nor while another program holds the pointer (a screen locker,
// an open menu), which would take the click for itself.
bool desktop_takes_input();
// Moves to `pos`, clicks the left button, calls `mark` with the cursor still
// there, then puts the cursor back. False when the system refused the click or
// `pos` is no point.
bool click_at(std::string_view pos, const ClickMarkHook& mark);

std::optional<ScreenPoint> cursor_pos();

} // namespace keeprun
