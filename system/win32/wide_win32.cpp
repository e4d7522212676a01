#include "system/win32/wide_win32.h"

#include "system/utf.h"

namespace keeprun {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide texts are UTF-16 on Windows");

std::wstring widen(std::string_view utf8) {
    const std::u16string u = to_u16(utf8);
    return std::wstring(u.begin(), u.end());
}

std::string narrow(std::wstring_view wide) {
    return from_u16(std::u16string(wide.begin(), wide.end()));
}

} // namespace keeprun
