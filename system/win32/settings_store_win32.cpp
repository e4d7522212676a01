#include "system/settings_store.h"

#include <windows.h>

#include "system/win32/wide_win32.h"

namespace keeprun {
namespace {

// The registry key the program's settings have always lived under.
std::wstring key_path(std::string_view app, std::string_view section) {
    return L"Software\\VB and VBA Program Settings\\" + widen(app) + L"\\" + widen(section);
}

class RegistrySettingsStore final : public SettingsStore {
  public:
    std::string get(std::string_view app, std::string_view section, std::string_view key) override {
        if (app.empty() || section.empty() || key.empty()) return {};
        const std::wstring path = key_path(app, section);
        const std::wstring name = widen(key);
        DWORD size = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                         nullptr, &size) != ERROR_SUCCESS)
            return {};
        std::wstring value(size / sizeof(wchar_t), L'\0');
        if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                         value.data(), &size) != ERROR_SUCCESS)
            return {};
        value.resize(wcsnlen(value.c_str(), value.size()));
        return narrow(value);
    }

    bool save(std::string_view app, std::string_view section, std::string_view key,
              std::string_view value) override {
        if (app.empty() || section.empty() || key.empty()) return false;
        HKEY hkey = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, key_path(app, section).c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &hkey, nullptr) != ERROR_SUCCESS)
            return false;
        const std::wstring text = widen(value);
        const LONG r = RegSetValueExW(hkey, widen(key).c_str(), 0, REG_SZ,
                                      reinterpret_cast<const BYTE*>(text.c_str()),
                                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(hkey);
        return r == ERROR_SUCCESS;
    }
};

} // namespace

SettingsStore& user_settings_store() {
    static RegistrySettingsStore store;
    return store;
}

} // namespace keeprun
