#pragma once
// The user's folders as the XDG base directory rules give them.
#include <string>

namespace keeprun {

// $<variable> when it holds an absolute path, else the home folder followed by
// `fallback` (for example ".local/share"). No trailing "/".
std::string xdg_folder(const char* variable, const char* fallback);

} // namespace keeprun
