#pragma once
// Shortcuts to programs as the system keeps them: Windows shortcuts (.lnk),
// ".desktop" launchers elsewhere.
#include <optional>
#include <string>
#include <string_view>

#include "system/start_settings.h"

namespace keeprun {

struct Shortcut {
    std::string target;
    StartSettings start; // its arguments and start folder
};

// What the shortcut file starts: a .lnk's target, arguments and "Start in", or
// a launcher's Exec= program looked up in $PATH, its arguments and Path=;
// nothing when it cannot be read.
std::optional<Shortcut> read_shortcut(std::string_view shortcut_path);

} // namespace keeprun
