#include "system/shortcut.h"

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include "system/win32/wide_win32.h"

namespace keeprun {
namespace {

template <typename T> struct Releaser {
    T* p = nullptr;
    ~Releaser() {
        if (p) p->Release();
    }
};

// COM for the calling thread, for as long as the read takes.
struct ComScope {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComScope() {
        if (SUCCEEDED(hr)) CoUninitialize();
    }
};

} // namespace

std::optional<std::string> shortcut_target(std::string_view shortcut_path) {
    ComScope com;
    Releaser<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link.p))))
        return std::nullopt;
    Releaser<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
        FAILED(file.p->Load(widen(shortcut_path).c_str(), STGM_READ)))
        return std::nullopt;
    // The item list keeps the target's name in full; the plain path may have
    // been stored in the ANSI code page.
    wchar_t target[MAX_PATH] = {};
    PIDLIST_ABSOLUTE items = nullptr;
    if (SUCCEEDED(link.p->GetIDList(&items)) && items) {
        const bool found = SHGetPathFromIDListW(items, target);
        CoTaskMemFree(items);
        if (found && target[0]) return narrow(target);
    }
    if (FAILED(link.p->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) || !target[0])
        return std::nullopt;
    return narrow(target);
}

} // namespace keeprun
