#include "system/pointer_motion.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>
#include <fcntl.h>

namespace keeprun {
namespace {

// The record extension sees every pointer move, those of devices and of
// programs that warp the pointer alike; raw input events miss the latter.
// The news arrives on a connection of its own, which the server holds while
// the news runs; the other one switches it off.
struct Listener {
    Display* control = nullptr;
    Display* news = nullptr;
    XRecordContext context = 0;
    bool listening = false;
    bool moved = false;
};

Listener& listener() {
    static Listener l;
    return l;
}

void take_news(XPointer, XRecordInterceptData* data) {
    if (data->category == XRecordFromServer || data->category == XRecordStartOfData)
        listener().moved = true;
    XRecordFreeData(data);
}

} // namespace

void pointer_motion_close() {
    Listener& l = listener();
    if (l.control) {
        pointer_motion_listen(false);
        XRecordFreeContext(l.control, l.context);
        XCloseDisplay(l.control);
    }
    if (l.news) XCloseDisplay(l.news);
    l = Listener{};
}

std::string pointer_motion_open(const char* display_name) {
    pointer_motion_close();
    Listener& l = listener();
    Display* control = XOpenDisplay(display_name);
    Display* news = control ? XOpenDisplay(display_name) : nullptr;
    int major = 0, minor = 0;
    if (!news || !XRecordQueryVersion(control, &major, &minor)) {
        if (news) XCloseDisplay(news);
        if (control) XCloseDisplay(control);
        return "X 显示服务器不支持 RECORD 扩展，鼠标坐标改为定时读取";
    }
    ::fcntl(ConnectionNumber(control), F_SETFD, FD_CLOEXEC);
    ::fcntl(ConnectionNumber(news), F_SETFD, FD_CLOEXEC);
    XRecordRange* range = XRecordAllocRange();
    range->device_events.first = MotionNotify;
    range->device_events.last = MotionNotify;
    XRecordClientSpec clients = XRecordAllClients;
    l.context = XRecordCreateContext(control, 0, &clients, 1, &range, 1);
    XFree(range);
    // The context must exist before the other connection asks for its news.
    XSync(control, False);
    l.control = control;
    l.news = news;
    return {};
}

void pointer_motion_listen(bool on) {
    Listener& l = listener();
    if (!l.control || on == l.listening) return;
    l.listening = on;
    if (on) {
        XRecordEnableContextAsync(l.news, l.context, take_news, nullptr);
        XFlush(l.news);
    } else {
        // Synced, so the context is off before it may be switched on again.
        XRecordDisableContext(l.control, l.context);
        XSync(l.control, False);
    }
}

int pointer_motion_descriptor() {
    const Listener& l = listener();
    return l.news ? ConnectionNumber(l.news) : -1;
}

bool pointer_moved() {
    Listener& l = listener();
    if (!l.news) return false;
    XRecordProcessReplies(l.news);
    const bool moved = l.moved;
    l.moved = false;
    return moved;
}

} // namespace keeprun
