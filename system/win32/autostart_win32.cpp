#include "system/autostart.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

#include "system/win32/wide_win32.h"

namespace keeprun {
namespace {

// The per-user Run key; the installer's start-with-Windows option writes the same value.
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValueName[] = L"keeprun";
// Task Manager's start-up tab switches Run entries off here, leaving them in place.
constexpr wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

std::string error_text(LONG code) {
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out = text ? narrow(text) : "error " + std::to_string(code);
    LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

// The installer's choice (HKLM) and the install whose choice this user took
// over (HKCU), both here.
constexpr wchar_t kChoiceKey[] = L"Software\\keeprun";

// An entry switched off there starts with an odd byte (3); on, or never
// switched, it is even or absent.
bool switched_off_in_task_manager() {
    BYTE state[12] = {};
    DWORD size = sizeof state;
    return RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, kValueName, RRF_RT_REG_BINARY, nullptr,
                        state, &size) == ERROR_SUCCESS &&
           size > 0 && (state[0] & 1) != 0;
}

// The Run value for `program`: quoted, as the path may hold blanks ("Program
// Files"), with native separators (Qt hands it over with forward slashes), and
// the login option unless `login` is false.
std::wstring run_command(const std::string& program, bool login) {
    std::wstring native = widen(program);
    std::replace(native.begin(), native.end(), L'/', L'\\');
    return L"\"" + native + L"\"" + (login ? L" " + widen(kLoginOption) : L"");
}

LONG set_run_value(HKEY key, const std::wstring& command) {
    return RegSetKeyValueW(key, nullptr, kValueName, REG_SZ, command.c_str(),
                           static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}

} // namespace

bool autostart_enabled() {
    return RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName, RRF_RT_REG_SZ, nullptr, nullptr,
                        nullptr) == ERROR_SUCCESS &&
           !switched_off_in_task_manager();
}

std::string set_autostart(bool on, const std::string& program) {
    HKEY key = nullptr;
    LONG r = RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                             &key, nullptr);
    if (r != ERROR_SUCCESS) return error_text(r);
    if (on) {
        r = set_run_value(key, run_command(program, true));
    } else {
        r = RegDeleteValueW(key, kValueName);
        if (r == ERROR_FILE_NOT_FOUND) r = ERROR_SUCCESS;
    }
    RegCloseKey(key);
    // Switched on or off here, Task Manager's own switch follows: it is forgotten.
    const LONG approved = RegDeleteKeyValueW(HKEY_CURRENT_USER, kApprovedKey, kValueName);
    if (r == ERROR_SUCCESS && approved != ERROR_SUCCESS && approved != ERROR_FILE_NOT_FOUND &&
        approved != ERROR_PATH_NOT_FOUND)
        r = approved;
    return r == ERROR_SUCCESS ? std::string() : error_text(r);
}

void update_autostart_entry(const std::string& program) {
    wchar_t value[2 * MAX_PATH] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS ||
        lstrcmpiW(value, run_command(program, false).c_str()) != 0)
        return;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    // Task Manager's switch is kept by the value's name: a switched-off entry stays off.
    set_run_value(key, run_command(program, true));
    RegCloseKey(key);
}

void take_installer_autostart_choice(const std::string& program) {
    wchar_t install[128] = {};
    DWORD size = sizeof install;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kChoiceKey, L"Install", RRF_RT_REG_SZ, nullptr, install,
                     &size) != ERROR_SUCCESS)
        return;
    wchar_t taken[128] = {};
    size = sizeof taken;
    if (RegGetValueW(HKEY_CURRENT_USER, kChoiceKey, L"Install", RRF_RT_REG_SZ, nullptr, taken,
                     &size) == ERROR_SUCCESS &&
        std::wstring_view(taken) == install)
        return;
    // Unticked, the user's own earlier choice stays.
    DWORD start = 0;
    size = sizeof start;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, kChoiceKey, L"StartAtLogin", RRF_RT_REG_DWORD, nullptr,
                     &start, &size) == ERROR_SUCCESS &&
        start == 1 && !set_autostart(true, program).empty())
        return; // asked again at the next start
    RegSetKeyValueW(HKEY_CURRENT_USER, kChoiceKey, L"Install", REG_SZ, install,
                    static_cast<DWORD>((std::wstring_view(install).size() + 1) * sizeof(wchar_t)));
}

} // namespace keeprun
