#pragma once
// The engine's UTF-8 texts and the wide texts of the Windows API.
#include <string>
#include <string_view>

namespace keeprun {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

} // namespace keeprun
