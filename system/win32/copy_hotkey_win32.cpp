#include "system/copy_hotkey.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "system/copy_key_tracker.h"

// A low-level keyboard hook tells of every key going down or up, whichever
// program has the focus, without a timer asking GetAsyncKeyState. It runs on
// the thread that set it, inside that thread's message loop, and must return
// at once: it only keeps the keys and posts a message to a window of its own,
// and the caller hears of it when the loop gets there.

namespace keeprun {
namespace {

constexpr UINT kNewsMessage = WM_APP + 1;
constexpr wchar_t kWindowClass[] = L"keeprun-copy-hotkey";

struct Listener {
    HHOOK hook = nullptr;
    HWND window = nullptr;
    CopyKeyTracker tracker;
    std::function<void()> news;
};

Listener& listener() {
    static Listener l;
    return l;
}

std::optional<CopyKey> key_of(DWORD virtual_key, bool extended) {
    switch (virtual_key) {
    case VK_CONTROL: // sent input may name Ctrl without its side
    case VK_LCONTROL:
        return CopyKey::left_ctrl;
    case VK_RCONTROL:
        return CopyKey::right_ctrl;
    case '8':
        return CopyKey::eight;
    case VK_NUMPAD8:
        return CopyKey::keypad_eight;
    case VK_UP: // the keypad's 8 with Num Lock off; the arrow key is extended
        return extended ? std::nullopt : std::optional(CopyKey::keypad_eight);
    default:
        return std::nullopt;
    }
}

LRESULT CALLBACK on_key(int code, WPARAM message, LPARAM data) {
    Listener& l = listener();
    if (code == HC_ACTION) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
        const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        if (const auto key = key_of(event->vkCode, (event->flags & LLKHF_EXTENDED) != 0))
            if (l.tracker.key_changed(*key, down)) PostMessageW(l.window, kNewsMessage, 0, 0);
    }
    return CallNextHookEx(l.hook, code, message, data);
}

LRESULT CALLBACK on_message(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message != kNewsMessage) return DefWindowProcW(window, message, w, l);
    if (const auto& news = listener().news) news();
    return 0;
}

} // namespace

void copy_hotkey_close() {
    Listener& l = listener();
    if (l.hook) UnhookWindowsHookEx(l.hook);
    if (l.window) DestroyWindow(l.window);
    l.hook = nullptr;
    l.window = nullptr;
    l.tracker = CopyKeyTracker{};
}

std::string copy_hotkey_open(const char*) {
    copy_hotkey_close();
    Listener& l = listener();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = on_message;
    window_class.hInstance = instance;
    window_class.lpszClassName = kWindowClass;
    RegisterClassW(&window_class);
    l.window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                               nullptr);
    l.hook = l.window ? SetWindowsHookExW(WH_KEYBOARD_LL, on_key, instance, 0) : nullptr;
    if (!l.hook) {
        copy_hotkey_close();
        return "无法监听键盘，Ctrl+8 复制坐标不可用";
    }
    // Keys already held when the listening began; the hook takes over from here.
    for (const int virtual_key : {VK_LCONTROL, VK_RCONTROL, int{'8'}, VK_NUMPAD8})
        if (GetAsyncKeyState(virtual_key) & 0x8000)
            l.tracker.key_changed(*key_of(static_cast<DWORD>(virtual_key), false), true);
    l.tracker.take_pressed(); // a combination held already is no press
    return {};
}

void copy_hotkey_on_news(std::function<void()> news, const WatchDescriptor&) {
    listener().news = std::move(news);
}

CopyKeys copy_keys() {
    return listener().tracker.keys();
}

bool copy_hotkey_pressed() {
    return listener().tracker.take_pressed();
}

} // namespace keeprun
