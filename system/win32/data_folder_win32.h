#pragma once
// The choice behind get_data_folder, open to its tests.
#include <functional>
#include <string>
#include <vector>

#include "system/data_folder.h"

namespace keeprun {

// "zx\" on the first of the fixed drives' `roots` (in the order tried) where
// `make` makes the folder ("" on success, else why not); when none can hold
// it, the first drive's folder with its error.
DataFolder choose_data_folder(const std::vector<std::string>& roots,
                              const std::function<std::string(const std::string&)>& make);

} // namespace keeprun
