#pragma once
// The table of executable aliases from the server configuration: a program file
// name and the file name of the process to look for instead, both upper case.
#include <string>
#include <utility>
#include <vector>

namespace keeprun {

using ExeAliasTable = std::vector<std::pair<std::string, std::string>>;

} // namespace keeprun
