#include "x_display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdexcept>

namespace keeprun::e2e {
namespace {

// Windows come and go while the tests look at them; a request about a window
// that has just gone must not end the test process (Xlib's default handler exits).
int ignore_x_error(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

XDisplay::XDisplay(const std::string& name) : display_(XOpenDisplay(name.c_str())) {
    if (!display_) throw std::runtime_error("cannot open display " + name);
    XSetErrorHandler(ignore_x_error);
}

XDisplay::~XDisplay() {
    XCloseDisplay(display_);
}

std::vector<unsigned long> XDisplay::mapped_top_levels() {
    Window root_return, parent;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<unsigned long> out;
    if (!XQueryTree(display_, DefaultRootWindow(display_), &root_return, &parent, &children,
                    &count))
        return out;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attrs;
        if (XGetWindowAttributes(display_, children[i], &attrs) && attrs.map_state == IsViewable)
            out.push_back(children[i]);
    }
    if (children) XFree(children);
    return out;
}

std::string XDisplay::title_of(unsigned long window) {
    const Atom net_name = XInternAtom(display_, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display_, window, net_name, 0, 1024, False, utf8, &type, &format, &items,
                           &after, &data) == Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), items);
        XFree(data);
        return title;
    }
    char* name = nullptr;
    if (XFetchName(display_, window, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

std::vector<unsigned long> XDisplay::windows_named(const std::string& title) {
    std::vector<unsigned long> out;
    for (auto w : mapped_top_levels())
        if (title_of(w) == title) out.push_back(w);
    return out;
}

std::vector<std::string> XDisplay::titles() {
    std::vector<std::string> out;
    for (auto w : mapped_top_levels())
        out.push_back(title_of(w));
    return out;
}

WindowBox XDisplay::box(unsigned long window) {
    XWindowAttributes attrs;
    WindowBox b;
    if (XGetWindowAttributes(display_, window, &attrs)) {
        Window child;
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &b.x, &b.y,
                              &child);
        b.width = attrs.width;
        b.height = attrs.height;
    }
    return b;
}

void XDisplay::request_close(unsigned long window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
}

bool XDisplay::selection_owned(const std::string& selection) {
    return XGetSelectionOwner(display_, XInternAtom(display_, selection.c_str(), False)) != None;
}

} // namespace keeprun::e2e
