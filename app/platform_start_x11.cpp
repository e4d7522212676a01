#include "app/platform_start.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

namespace keeprun {

bool prepare_platform(std::vector<char*>& qt_args) {
    const char* session = std::getenv("XDG_SESSION_TYPE");
    if (session && std::strcmp(session, "wayland") == 0)
        std::cerr << "keeprun: this is a Wayland session; clicks, the cursor readout and "
                     "Ctrl+8 reach only X11 windows.\n";

    if (!std::getenv("DISPLAY")) {
        std::cerr
            << "keeprun: no X11 display (DISPLAY is not set); keeprun needs an X11 session.\n";
        return false;
    }
    // Clicks, the cursor readout and Ctrl+8 work through X11 only. Asked for on
    // the command line, not in the environment, which started programs inherit.
    static char platform_option[] = "-platform";
    static char platform[] = "xcb";
    qt_args.insert(qt_args.begin() + (qt_args.empty() ? 0 : 1), {platform_option, platform});
    return true;
}

} // namespace keeprun
