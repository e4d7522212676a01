#include "system/machine_name.h"

#include <windows.h>

#include "system/win32/wide_win32.h"

namespace keeprun {

std::string machine_name() {
    // The NetBIOS name, as Explorer and the chat group's people see the PC.
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size)) return {};
    return narrow(std::wstring_view(name, size));
}

} // namespace keeprun
