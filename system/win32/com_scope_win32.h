#pragma once
// COM for the calling thread, for as long as a shell call takes.
#include <objbase.h>

namespace keeprun {

struct ComScope {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ComScope() = default;
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(hr)) CoUninitialize();
    }
};

} // namespace keeprun
