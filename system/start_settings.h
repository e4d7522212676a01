#pragma once
// What a program's start passes besides its path, and what came of it.
#include <string>

namespace keeprun {

// The arguments of the shortcut the program was dropped as (one text, as the
// shortcut holds them) and the folder to start in; an empty folder is the
// program's own, as a double click in the file manager does.
struct StartSettings {
    std::string arguments;
    std::string folder;
    bool operator==(const StartSettings&) const = default;
};

// What came of a start: a start may wait for the user (an elevation prompt).
enum class StartOutcome { started, failed, pending };

} // namespace keeprun
