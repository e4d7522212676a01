#include "system/mouse.h"

#include <windows.h>
#include <wtsapi32.h>

#include <cwchar>

namespace keeprun {
namespace {

bool left_click() {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(2, input, sizeof(INPUT)) == 2;
}

// A remote session whose window was closed goes on running with no screen.
bool session_connected() {
    WTS_CONNECTSTATE_CLASS* state = nullptr;
    DWORD size = 0;
    if (!WTSQuerySessionInformationW(WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION,
                                     WTSConnectState, reinterpret_cast<LPWSTR*>(&state), &size))
        return true; // cannot tell: the click is tried
    const bool connected = size < sizeof *state || *state == WTSActive;
    WTSFreeMemory(state);
    return connected;
}

// Locked, or a secure prompt up: the input desktop is not the user's.
bool on_users_desktop() {
    HDESK desk = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (!desk) return false;
    wchar_t name[64] = {};
    DWORD needed = 0;
    const bool named =
        GetUserObjectInformationW(desk, UOI_NAME, name, sizeof name - sizeof *name, &needed);
    CloseDesktop(desk);
    return !named || _wcsicmp(name, L"Default") == 0;
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

bool desktop_takes_input() {
    return session_connected() && on_users_desktop();
}

bool click_at(std::string_view pos, const ClickMarkHook& mark) {
    const auto target = parse_coordinate(pos);
    if (!target) return false;
    const auto before = cursor_pos();
    const bool done = SetCursorPos(target->x, target->y) && left_click();
    if (done && mark) mark();
    if (before) SetCursorPos(before->x, before->y);
    return done;
}

} // namespace keeprun
