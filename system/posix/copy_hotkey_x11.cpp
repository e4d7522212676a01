#include "system/copy_hotkey.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <optional>
#include <utility>

#include "system/copy_key_tracker.h"

namespace keeprun {
namespace {

// A connection of its own, so no other request of keeprun reads its events.
struct Listener {
    Display* display = nullptr;
    int xi_opcode = 0;
    KeyCode ctrl[2] = {0, 0};
    KeyCode eight = 0;
    KeyCode keypad_eight[2] = {0, 0};
    CopyKeyTracker tracker;
};

Listener& listener() {
    static Listener l;
    return l;
}

std::optional<CopyKey> key_of(const Listener& l, unsigned code) {
    if (code == 0) return std::nullopt;
    if (code == l.ctrl[0]) return CopyKey::left_ctrl;
    if (code == l.ctrl[1]) return CopyKey::right_ctrl;
    if (code == l.eight) return CopyKey::eight;
    if (code == l.keypad_eight[0] || code == l.keypad_eight[1]) return CopyKey::keypad_eight;
    return std::nullopt;
}

void key_changed(Listener& l, unsigned code, bool down) {
    if (const auto key = key_of(l, code)) l.tracker.key_changed(*key, down);
}

// Applies every key event that has arrived, without waiting for more.
void read_news(Listener& l) {
    if (!l.display) return;
    while (XPending(l.display)) {
        XEvent e;
        XNextEvent(l.display, &e);
        XGenericEventCookie& cookie = e.xcookie;
        if (cookie.type != GenericEvent || cookie.extension != l.xi_opcode ||
            !XGetEventData(l.display, &cookie))
            continue;
        if (cookie.evtype == XI_RawKeyPress || cookie.evtype == XI_RawKeyRelease)
            key_changed(l, static_cast<unsigned>(static_cast<XIRawEvent*>(cookie.data)->detail),
                        cookie.evtype == XI_RawKeyPress);
        XFreeEventData(l.display, &cookie);
    }
}

} // namespace

void copy_hotkey_close() {
    Listener& l = listener();
    if (l.display) XCloseDisplay(l.display);
    l = Listener{};
}

std::string copy_hotkey_open(const char* display_name) {
    copy_hotkey_close();
    Listener& l = listener();
    Display* d = XOpenDisplay(display_name);
    if (!d) return "无法连接 X 显示服务器，Ctrl+8 复制坐标不可用";
    int event = 0, error = 0;
    // Raw events reach the root window whatever grabs are active from 2.1 on.
    int major = 2, minor = 2;
    if (!XQueryExtension(d, "XInputExtension", &l.xi_opcode, &event, &error) ||
        XIQueryVersion(d, &major, &minor) != Success || (major == 2 && minor < 1)) {
        XCloseDisplay(d);
        return "X 显示服务器不支持 XInput 2.1 扩展，Ctrl+8 复制坐标不可用";
    }
    ::fcntl(ConnectionNumber(d), F_SETFD, FD_CLOEXEC);
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask{XIAllMasterDevices, sizeof bits, bits};
    XISelectEvents(d, DefaultRootWindow(d), &mask, 1);
    l.display = d;
    l.ctrl[0] = XKeysymToKeycode(d, XK_Control_L);
    l.ctrl[1] = XKeysymToKeycode(d, XK_Control_R);
    l.eight = XKeysymToKeycode(d, XK_8);
    l.keypad_eight[0] = XKeysymToKeycode(d, XK_KP_8);
    l.keypad_eight[1] = XKeysymToKeycode(d, XK_KP_Up);
    // Keys already held when the listening began; the news takes over from here.
    char state[32] = {};
    XQueryKeymap(d, state);
    for (unsigned code = 0; code < 256; ++code)
        if (state[code / 8] & (1 << (code % 8))) key_changed(l, code, true);
    l.tracker.take_pressed(); // a combination held already is no press
    read_news(l);
    return {};
}

void copy_hotkey_on_news(std::function<void()> news, const WatchDescriptor& watch) {
    const Listener& l = listener();
    if (l.display) watch(ConnectionNumber(l.display), std::move(news));
}

CopyKeys copy_keys() {
    Listener& l = listener();
    read_news(l);
    return l.tracker.keys();
}

bool copy_hotkey_pressed() {
    Listener& l = listener();
    read_news(l);
    return l.tracker.take_pressed();
}

} // namespace keeprun
