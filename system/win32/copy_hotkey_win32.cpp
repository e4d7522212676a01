#include "system/copy_hotkey.h"

#include <windows.h>

#include <mutex>
#include <optional>
#include <utility>

#include "system/copy_key_tracker.h"

// A low-level keyboard hook tells of every key going down or up, whichever
// program has the focus, without a timer asking GetAsyncKeyState. It runs in the
// message loop of the thread that set it, and Windows drops a hook that keeps a
// key waiting too long; so it lives on a thread of its own that does nothing
// else, keeps the keys and posts a message to a window on the caller's thread,
// whose loop tells the caller, however busy that thread is meanwhile.

namespace keeprun {
namespace {

constexpr UINT kNewsMessage = WM_APP + 1;
constexpr wchar_t kWindowClass[] = L"keeprun-copy-hotkey";

struct Listener {
    HWND window = nullptr; // on the caller's thread
    HANDLE thread = nullptr;
    DWORD thread_id = 0;
    HHOOK hook = nullptr;
    std::mutex keys_lock; // the hook thread writes the keys, the caller reads them
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
        if (const auto key = key_of(event->vkCode, (event->flags & LLKHF_EXTENDED) != 0)) {
            std::lock_guard<std::mutex> hold(l.keys_lock);
            if (l.tracker.key_changed(*key, down)) PostMessageW(l.window, kNewsMessage, 0, 0);
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK on_message(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message != kNewsMessage) return DefWindowProcW(window, message, w, l);
    if (const auto& news = listener().news) news();
    return 0;
}

// The hook's thread: sets the hook, signals `ready`, then carries its messages
// until it is told to quit.
DWORD WINAPI hook_thread(void* ready) {
    Listener& l = listener();
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue, for WM_QUIT
    l.hook = SetWindowsHookExW(WH_KEYBOARD_LL, on_key, GetModuleHandleW(nullptr), 0);
    SetEvent(static_cast<HANDLE>(ready));
    if (!l.hook) return 1;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    UnhookWindowsHookEx(l.hook);
    return 0;
}

bool start_hook_thread(Listener& l) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!ready) return false;
    l.thread = CreateThread(nullptr, 0, hook_thread, ready, 0, &l.thread_id);
    if (l.thread) WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
    return l.thread && l.hook;
}

} // namespace

void copy_hotkey_close() {
    Listener& l = listener();
    if (l.thread) {
        PostThreadMessageW(l.thread_id, WM_QUIT, 0, 0);
        WaitForSingleObject(l.thread, INFINITE);
        CloseHandle(l.thread);
    }
    if (l.window) DestroyWindow(l.window);
    l.thread = nullptr;
    l.thread_id = 0;
    l.hook = nullptr;
    l.window = nullptr;
    std::lock_guard<std::mutex> hold(l.keys_lock);
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
    if (!l.window || !start_hook_thread(l)) {
        copy_hotkey_close();
        return "无法监听键盘，Ctrl+8 复制坐标不可用";
    }
    // Keys already held when the listening began; the hook takes over from here.
    std::lock_guard<std::mutex> hold(l.keys_lock);
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
    Listener& l = listener();
    std::lock_guard<std::mutex> hold(l.keys_lock);
    return l.tracker.keys();
}

bool copy_hotkey_pressed() {
    Listener& l = listener();
    std::lock_guard<std::mutex> hold(l.keys_lock);
    return l.tracker.take_pressed();
}

} // namespace keeprun
