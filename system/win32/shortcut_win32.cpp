#include "system/shortcut.h"

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <vector>

#include "system/win32/com_scope_win32.h"
#include "system/win32/wide_win32.h"

namespace keeprun {
namespace {

template <typename T> struct Releaser {
    T* p = nullptr;
    ~Releaser() {
        if (p) p->Release();
    }
};

// The shortcut's target path as Explorer starts it.
std::optional<std::string> target_of(IShellLinkW* link) {
    // The item list keeps the target's name in full; the plain path may have
    // been stored in the ANSI code page.
    wchar_t target[MAX_PATH] = {};
    PIDLIST_ABSOLUTE items = nullptr;
    if (SUCCEEDED(link->GetIDList(&items)) && items) {
        const bool found = SHGetPathFromIDListW(items, target);
        CoTaskMemFree(items);
        if (found && target[0]) return narrow(target);
    }
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) || !target[0])
        return std::nullopt;
    return narrow(target);
}

// Arguments may be as long as a command line.
std::string arguments_of(IShellLinkW* link) {
    std::vector<wchar_t> text(32768);
    if (FAILED(link->GetArguments(text.data(), static_cast<int>(text.size())))) return {};
    return narrow(text.data());
}

std::string start_folder_of(IShellLinkW* link) {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(link->GetWorkingDirectory(folder, MAX_PATH))) return {};
    // "Start in" may hold variables such as %USERPROFILE%.
    wchar_t expanded[MAX_PATH] = {};
    const DWORD n = ExpandEnvironmentStringsW(folder, expanded, MAX_PATH);
    return narrow(n > 0 && n <= MAX_PATH ? expanded : folder);
}

} // namespace

std::optional<Shortcut> read_shortcut(std::string_view shortcut_path) {
    ComScope com;
    Releaser<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link.p))))
        return std::nullopt;
    Releaser<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
        FAILED(file.p->Load(widen(shortcut_path).c_str(), STGM_READ)))
        return std::nullopt;
    auto target = target_of(link.p);
    if (!target) return std::nullopt;
    return Shortcut{std::move(*target), {arguments_of(link.p), start_folder_of(link.p)}};
}

} // namespace keeprun
