// The program the end-to-end tests give to a slot. It logs its start and every
// click on its window to "<its own path>.log", and runs until killed or until
// its X server goes away. Its file name chooses how its window behaves: one
// named "...answers..." takes _NET_WM_PING and answers it, "...hangs..." stops
// reading its events after 5 s, "...sleeps..." never reads them.
#include "target_geometry.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void log_line(const std::string& file, const std::string& line) {
    std::ofstream(file, std::ios::app) << line << std::endl;
}

[[noreturn]] void stop_answering() {
    for (;;)
        pause();
}

// Says the window belongs to this process and answers pings, as toolkits do.
void take_pings(Display* display, Window window) {
    Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    XSetWMProtocols(display, window, &ping, 1);
    const long pid = getpid();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
}

bool is_ping(Display* display, const XEvent& event) {
    return event.type == ClientMessage &&
           event.xclient.message_type == XInternAtom(display, "WM_PROTOCOLS", False) &&
           static_cast<Atom>(event.xclient.data.l[0]) ==
               XInternAtom(display, "_NET_WM_PING", False);
}

} // namespace

int main(int, char** argv) {
    const std::string log = std::string(argv[0]) + ".log";
    log_line(log, "start " + std::to_string(getpid()));
    if (const char* platform = std::getenv("QT_QPA_PLATFORM"))
        log_line(log, std::string("platform ") + platform);
    Display* display = XOpenDisplay(nullptr);
    if (!display) stop_answering();
    const std::string name = argv[0];
    const bool answers = name.find("answers") != std::string::npos;
    const bool hangs = name.find("hangs") != std::string::npos;
    XSetWindowAttributes attrs{};
    attrs.override_redirect = True;
    attrs.background_pixel = WhitePixel(display, DefaultScreen(display));
    attrs.event_mask = ButtonPressMask;
    const Window window = XCreateWindow(
        display, DefaultRootWindow(display), keeprun::e2e::kTargetX, keeprun::e2e::kTargetY,
        keeprun::e2e::kTargetSize, keeprun::e2e::kTargetSize, 0, CopyFromParent, InputOutput,
        CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &attrs);
    if (answers) take_pings(display, window);
    XMapRaised(display, window);
    XFlush(display);
    if (name.find("sleeps") != std::string::npos) stop_answering();
    const auto hang_at = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        if (hangs) {
            if (std::chrono::steady_clock::now() > hang_at) stop_answering();
            if (!XPending(display)) {
                usleep(20 * 1000);
                continue;
            }
        }
        XEvent event;
        XNextEvent(display, &event);
        if (is_ping(display, event)) {
            // The answer goes back to the root window, where keeprun listens.
            event.xclient.window = DefaultRootWindow(display);
            XSendEvent(display, event.xclient.window, False,
                       SubstructureNotifyMask | SubstructureRedirectMask, &event);
            XFlush(display);
        } else if (event.type == ButtonPress)
            log_line(log, "click " + std::to_string(event.xbutton.x_root) + " " +
                              std::to_string(event.xbutton.y_root));
    }
}
