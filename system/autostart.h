#pragma once
// Starting keeprun when the user logs in: an autostart entry of the desktop
// session (XDG) on Linux, the per-user Run key on Windows.
#include <string>

namespace keeprun {

// True when the entry exists.
bool autostart_enabled();

// Adds (on) or removes (off) the entry that starts `program`, an absolute path.
// "" on success, else what went wrong.
std::string set_autostart(bool on, const std::string& program);

// Takes over the installer's start-at-login choice, once per install, for the
// user running keeprun (an installer may run as another, administrator account).
// Only the Windows installer leaves a choice.
void take_installer_autostart_choice(const std::string& program);

} // namespace keeprun
