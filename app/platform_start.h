#pragma once
// What keeprun checks and asks of Qt before the application starts, which
// differs between systems.
#include <vector>

namespace keeprun {

// Checks that keeprun can run in this session (telling standard error why not,
// or what will not work) and adds the options Qt needs to `qt_args`, the
// program's own arguments. False when keeprun cannot run.
bool prepare_platform(std::vector<char*>& qt_args);

} // namespace keeprun
