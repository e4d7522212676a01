#pragma once
// The process list behind system/process.h, open to its tests.
#include <vector>

#include "system/process_match.h"

namespace keeprun {

// Every process that can be opened: its id, image name and command-line head.
void list_processes(std::vector<WinProcessRow>& table);

} // namespace keeprun
