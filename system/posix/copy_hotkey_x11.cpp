#include "system/copy_hotkey.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>
#include <bitset>
#include <fcntl.h>

namespace keeprun {
namespace {

// A connection of its own, so no other request of keeprun reads its events.
struct Listener {
    Display* display = nullptr;
    int xi_opcode = 0;
    KeyCode ctrl[2] = {0, 0};
    KeyCode eight = 0;
    KeyCode keypad_eight[2] = {0, 0};
    std::bitset<256> down;
    bool combination = false;
    bool pressed = false;
};

Listener& listener() {
    static Listener l;
    return l;
}

bool any_down(const Listener& l, std::initializer_list<KeyCode> codes) {
    for (KeyCode code : codes)
        if (code != 0 && l.down[code]) return true;
    return false;
}

CopyKeys keys_of(const Listener& l) {
    return {any_down(l, {l.ctrl[0], l.ctrl[1]}), any_down(l, {l.eight}),
            any_down(l, {l.keypad_eight[0], l.keypad_eight[1]})};
}

void key_changed(Listener& l, unsigned code, bool down) {
    if (code >= l.down.size()) return;
    l.down[code] = down;
    const CopyKeys keys = keys_of(l);
    const bool combination = keys.ctrl && (keys.eight || keys.keypad_eight);
    if (combination && !l.combination) l.pressed = true;
    l.combination = combination;
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
    for (unsigned code = 0; code < l.down.size(); ++code)
        l.down[code] = (state[code / 8] & (1 << (code % 8))) != 0;
    const CopyKeys keys = keys_of(l);
    l.combination = keys.ctrl && (keys.eight || keys.keypad_eight);
    read_news(l);
    return {};
}

int copy_hotkey_descriptor() {
    const Listener& l = listener();
    return l.display ? ConnectionNumber(l.display) : -1;
}

CopyKeys copy_keys() {
    Listener& l = listener();
    read_news(l);
    return keys_of(l);
}

bool copy_hotkey_pressed() {
    Listener& l = listener();
    read_news(l);
    const bool pressed = l.pressed;
    l.pressed = false;
    return pressed;
}

} // namespace keeprun
