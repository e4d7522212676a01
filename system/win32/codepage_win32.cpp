#include "system/codepage.h"

#include <windows.h>

#include "system/win32/wide.h"

// Code page 936 through the system's own tables until the portable codec
// replaces both backends (Windows knows 54936, Wine 8 does not).
namespace keeprun {
namespace {

constexpr UINT kCodePage = 936;

} // namespace

std::string cp936_decode(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int n =
        MultiByteToWideChar(kCodePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(kCodePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
    return narrow(wide);
}

std::string cp936_encode(std::string_view utf8) {
    const std::wstring wide = widen(utf8);
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(kCodePage, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(kCodePage, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

} // namespace keeprun
