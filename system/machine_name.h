#pragma once
// The name people know this PC by, so one chat group can serve many of them.
#include <string>

namespace keeprun {

// The host name (the computer name on Windows); "" when it cannot be read.
std::string machine_name();

} // namespace keeprun
