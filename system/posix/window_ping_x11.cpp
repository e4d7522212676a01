#include "system/window_ping.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace keeprun {
namespace {

// Client windows sit below the window manager's frames, seldom deeper than this.
constexpr int kDepth = 3;

struct Asked {
    std::set<Window> windows;
    bool answered = false;
};

// A connection of its own: the answers come to the root window, and reading
// them must not take events from any other part of keeprun.
struct Pinger {
    Display* display = nullptr;
    Atom protocols = None;
    Atom ping = None;
    Atom wm_pid = None;
    Atom client_leader = None;
    long serial = 0;
    std::map<long, Asked> asked; // by process id
};

Pinger& pinger() {
    static Pinger p;
    return p;
}

std::optional<long> cardinal(Display* d, Window w, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    std::optional<long> value;
    if (XGetWindowProperty(d, w, property, 0, 1, False, AnyPropertyType, &type, &format, &count,
                           &left, &data) == Success &&
        data && count == 1 && format == 32)
        value = *reinterpret_cast<long*>(data);
    if (data) XFree(data);
    return value;
}

// The process that owns window `w`: its own _NET_WM_PID, or its client leader's.
std::optional<long> owner(const Pinger& p, Window w) {
    if (const auto pid = cardinal(p.display, w, p.wm_pid)) return pid;
    const auto leader = cardinal(p.display, w, p.client_leader);
    if (!leader || static_cast<Window>(*leader) == w) return std::nullopt;
    return cardinal(p.display, static_cast<Window>(*leader), p.wm_pid);
}

bool takes_ping(const Pinger& p, Window w) {
    Atom* atoms = nullptr;
    int count = 0;
    bool found = false;
    if (XGetWMProtocols(p.display, w, &atoms, &count)) {
        for (int i = 0; i < count; ++i)
            found = found || atoms[i] == p.ping;
        XFree(atoms);
    }
    return found;
}

void find_windows(const Pinger& p, Window parent, long pid, int depth, std::vector<Window>& out) {
    Window root = None;
    Window up = None;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(p.display, parent, &root, &up, &children, &count)) return;
    for (unsigned i = 0; i < count; ++i) {
        const Window w = children[i];
        if (owner(p, w) == pid && takes_ping(p, w))
            out.push_back(w);
        else if (depth > 1)
            find_windows(p, w, pid, depth - 1, out);
    }
    if (children) XFree(children);
}

// Takes in every answer that has arrived, without waiting for more.
void read_answers(Pinger& p) {
    while (XPending(p.display)) {
        XEvent e;
        XNextEvent(p.display, &e);
        if (e.type != ClientMessage || e.xclient.message_type != p.protocols ||
            static_cast<Atom>(e.xclient.data.l[0]) != p.ping)
            continue;
        const auto window = static_cast<Window>(e.xclient.data.l[2]);
        for (auto& [pid, asked] : p.asked)
            if (asked.windows.contains(window)) asked.answered = true;
    }
}

// Answers reach keeprun only while it listens to the root window's children;
// it listens while a ping waits for its answer, so idle it hears nothing.
void listen(Pinger& p) {
    XSelectInput(p.display, DefaultRootWindow(p.display),
                 p.asked.empty() ? NoEventMask : SubstructureNotifyMask);
}

} // namespace

std::string window_ping_open(const char* display_name) {
    Pinger& p = pinger();
    if (p.display) return {};
    p.display = XOpenDisplay(display_name);
    if (!p.display) return "cannot open the X display to ask whether programs answer";
    p.protocols = XInternAtom(p.display, "WM_PROTOCOLS", False);
    p.ping = XInternAtom(p.display, "_NET_WM_PING", False);
    p.wm_pid = XInternAtom(p.display, "_NET_WM_PID", False);
    p.client_leader = XInternAtom(p.display, "WM_CLIENT_LEADER", False);
    return {};
}

void ping_windows(long pid) {
    Pinger& p = pinger();
    if (!p.display) return;
    read_answers(p);
    std::vector<Window> windows;
    find_windows(p, DefaultRootWindow(p.display), pid, kDepth, windows);
    if (windows.empty()) {
        p.asked.erase(pid);
        listen(p);
        return;
    }
    Asked& asked = p.asked[pid];
    asked = Asked{{windows.begin(), windows.end()}, false};
    listen(p);
    for (const Window w : windows) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = p.protocols;
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(p.ping);
        e.xclient.data.l[1] = ++p.serial;
        e.xclient.data.l[2] = static_cast<long>(w);
        XSendEvent(p.display, w, False, NoEventMask, &e);
    }
    XFlush(p.display);
}

WindowAnswer windows_answer(long pid) {
    Pinger& p = pinger();
    if (!p.display) return WindowAnswer::not_asked;
    read_answers(p);
    const auto at = p.asked.find(pid);
    if (at == p.asked.end()) return WindowAnswer::not_asked;
    const bool answered = at->second.answered;
    p.asked.erase(at);
    listen(p);
    return answered ? WindowAnswer::answered : WindowAnswer::silent;
}

} // namespace keeprun
