// Clicks and the copy keys sent through the system's input queue to a window
// of the test's own (under Wine they reach only Wine windows).
#include <gtest/gtest.h>

#include <windows.h>

#include <utility>

#include "system/copy_hotkey.h"
#include "system/mouse.h"
#include "tests/support/wait_until.h"

namespace keeprun {
namespace {

using testing::wait_until;

std::optional<POINT> g_click; // screen position of the last left button press

LRESULT CALLBACK on_message(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_LBUTTONDOWN) {
        POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
        ClientToScreen(window, &p);
        g_click = p;
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class TestWindow {
  public:
    TestWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = on_message;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"keeprun-input-test";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"input", WS_POPUP | WS_VISIBLE,
                                  100, 100, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(window_);
        SetFocus(window_);
        pump();
    }
    ~TestWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }

  private:
    HWND window_;
};

void key(WORD virtual_key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtual_key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

TEST(Win32Input, AClickLandsAtItsPositionAndTheCursorGoesBack) {
    TestWindow window;
    ASSERT_NE(window.get(), nullptr);
    SetCursorPos(20, 30);
    ASSERT_TRUE(wait_until([] {
        pump();
        return cursor_pos() == ScreenPoint{20, 30};
    }));
    // A loaded machine may not have shown the window yet.
    ASSERT_TRUE(wait_until([&] {
        pump();
        return WindowFromPoint(POINT{250, 180}) == window.get() &&
               GetForegroundWindow() == window.get();
    }));
    EXPECT_TRUE(desktop_takes_input()) << "an unlocked desktop of a connected session";
    std::optional<ScreenPoint> during;
    EXPECT_TRUE(click_at("250*180", [&] { during = cursor_pos(); }));
    EXPECT_EQ(during, (ScreenPoint{250, 180}));
    ASSERT_TRUE(wait_until([] {
        pump();
        return g_click.has_value();
    }));
    EXPECT_EQ(g_click->x, 250);
    EXPECT_EQ(g_click->y, 180);
    EXPECT_EQ(cursor_pos(), (ScreenPoint{20, 30}));
}

TEST(Win32Input, CopyKeysAreToldThroughTheHook) {
    TestWindow window;
    ASSERT_EQ(copy_hotkey_open(), "");
    int told = 0;
    copy_hotkey_on_news([&] { ++told; }, {});
    const struct {
        WORD key;
        bool CopyKeys::*field;
    } cases[] = {{'8', &CopyKeys::eight},
                 {VK_NUMPAD8, &CopyKeys::keypad_eight},
                 {VK_UP, &CopyKeys::keypad_eight}}; // not extended: the keypad's 8
    for (const auto& c : cases) {
        told = 0;
        key(VK_CONTROL, true);
        key(c.key, true);
        EXPECT_TRUE(wait_until([&] {
            pump();
            return told == 1;
        })) << c.key;
        EXPECT_TRUE(copy_keys().*c.field);
        EXPECT_TRUE(copy_hotkey_down());
        EXPECT_TRUE(copy_hotkey_pressed());
        EXPECT_FALSE(copy_hotkey_pressed()) << "once per press";
        key(c.key, false);
        key(VK_CONTROL, false);
        EXPECT_TRUE(wait_until([] {
            pump();
            return !copy_hotkey_down();
        }));
    }

    // A tap no check of the key state could catch is told all the same.
    told = 0;
    for (const auto& [virtual_key, down] :
         {std::pair{VK_CONTROL, true}, {'8', true}, {'8', false}, {VK_CONTROL, false}})
        key(static_cast<WORD>(virtual_key), down);
    EXPECT_TRUE(wait_until([&] {
        pump();
        return told == 1 && !copy_hotkey_down();
    }));
    EXPECT_TRUE(copy_hotkey_pressed());
    copy_hotkey_close();
}

} // namespace
} // namespace keeprun
