#include "system/mouse.h"

#include <windows.h>

namespace keeprun {
namespace {

void left_click() {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

} // namespace

// The desktop needs no connection.
std::string mouse_open(const char*) {
    return {};
}

void mouse_close() {}

std::optional<ScreenPoint> cursor_pos() {
    POINT p;
    if (!GetCursorPos(&p)) return std::nullopt;
    return ScreenPoint{static_cast<int>(p.x), static_cast<int>(p.y)};
}

void click_at(std::string_view pos, const ClickMarkHook& mark) {
    const auto target = parse_coordinate(pos);
    if (!target) return;
    const auto before = cursor_pos();
    SetCursorPos(target->x, target->y);
    left_click();
    if (mark) mark();
    if (before) SetCursorPos(before->x, before->y);
}

} // namespace keeprun
