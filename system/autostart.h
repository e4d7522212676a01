#pragma once
// Starting keeprun when the user logs in: an autostart entry of the desktop
// session (XDG) on Linux; the per-user Run key would serve on Windows.
#include <string>

namespace keeprun {

// True when the entry exists.
bool autostart_enabled();

// Adds (on) or removes (off) the entry that starts `program`, an absolute path.
// "" on success, else what went wrong.
std::string set_autostart(bool on, const std::string& program);

} // namespace keeprun
