#include "system/mouse.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>

namespace keeprun {
namespace {

struct Connection {
    Display* display = nullptr;
};

Connection& connection() {
    static Connection c;
    return c;
}

// Xlib's default handler ends the program on any protocol error; a failed
// mouse call must not.
int ignore_x_error(Display*, XErrorEvent*) {
    return 0;
}

} // namespace

void mouse_close() {
    Connection& c = connection();
    if (c.display) XCloseDisplay(c.display);
    c = Connection{};
}

std::string mouse_open(const char* display_name) {
    mouse_close();
    Connection& c = connection();
    Display* d = XOpenDisplay(display_name);
    if (!d) {
        const char* name = XDisplayName(display_name);
        return std::string("无法连接 X 显示服务器（") + (name && *name ? name : "未设置 DISPLAY") +
               "），鼠标点击和坐标读取不可用";
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(d, &event, &error, &major, &minor)) {
        XCloseDisplay(d);
        return "X 显示服务器不支持 XTEST 扩展，鼠标点击不可用";
    }
    ::fcntl(ConnectionNumber(d), F_SETFD, FD_CLOEXEC);
    XSetErrorHandler(ignore_x_error);
    c.display = d;
    return {};
}

std::optional<ScreenPoint> cursor_pos() {
    Display* d = connection().display;
    if (!d) return std::nullopt;
    Window root = 0, child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(d, DefaultRootWindow(d), &root, &child, &x, &y, &wx, &wy, &mask))
        return std::nullopt;
    return ScreenPoint{x, y};
}

bool desktop_takes_input() {
    Display* d = connection().display;
    if (!d) return false;
    // Whoever holds the pointer gets every click: a locker, a menu, a drag.
    // Taking it for a moment tells whether anyone does.
    const int grab = XGrabPointer(d, DefaultRootWindow(d), False, 0, GrabModeAsync, GrabModeAsync,
                                  None, None, CurrentTime);
    if (grab == GrabSuccess) XUngrabPointer(d, CurrentTime);
    XSync(d, False);
    return grab == GrabSuccess;
}

bool click_at(std::string_view pos, const ClickMarkHook& mark) {
    Display* d = connection().display;
    const auto target = parse_coordinate(pos);
    if (!d || !target) return false;
    const auto before = cursor_pos();
    XTestFakeMotionEvent(d, -1, target->x, target->y, CurrentTime);
    XTestFakeButtonEvent(d, Button1, True, CurrentTime);
    XTestFakeButtonEvent(d, Button1, False, CurrentTime);
    XSync(d, False);
    if (mark) mark();
    // The mark may have pumped messages; the connection is still this one.
    d = connection().display;
    if (d && before) {
        XTestFakeMotionEvent(d, -1, before->x, before->y, CurrentTime);
        XSync(d, False);
    }
    return true;
}

} // namespace keeprun
