// The program the end-to-end tests give to a slot. It logs its start and every
// click on its window to "<its own path>.log", and runs until killed or until
// its X server goes away.
#include "target_geometry.h"

#include <X11/Xlib.h>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void log_line(const std::string& file, const std::string& line) {
    std::ofstream(file, std::ios::app) << line << std::endl;
}

} // namespace

int main(int, char** argv) {
    const std::string log = std::string(argv[0]) + ".log";
    log_line(log, "start " + std::to_string(getpid()));
    if (const char* platform = std::getenv("QT_QPA_PLATFORM"))
        log_line(log, std::string("platform ") + platform);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        for (;;)
            pause();
    }
    XSetWindowAttributes attrs{};
    attrs.override_redirect = True;
    attrs.background_pixel = WhitePixel(display, DefaultScreen(display));
    attrs.event_mask = ButtonPressMask;
    const Window window = XCreateWindow(
        display, DefaultRootWindow(display), keeprun::e2e::kTargetX, keeprun::e2e::kTargetY,
        keeprun::e2e::kTargetSize, keeprun::e2e::kTargetSize, 0, CopyFromParent, InputOutput,
        CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &attrs);
    XMapRaised(display, window);
    XFlush(display);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ButtonPress)
            log_line(log, "click " + std::to_string(event.xbutton.x_root) + " " +
                              std::to_string(event.xbutton.y_root));
    }
}
