// The program the Wine run gives to a slot: the Windows twin of the end-to-end
// test program. It logs its start (with the folder it runs in and its
// arguments) and every click on its window to "<its own path>.log" and runs
// until it is ended. Its file name chooses a fault: "...crashes..." crashes
// after 3 s (and a crash dialog holds it), "...hangs..." stops taking its
// messages after 5 s. Run as `... /minimise <title>` it only minimises the
// window of that title, as the user would, and ends.
#include "wine_target.h"

#include <fstream>
#include <string>
#include <windows.h>

#include <shellapi.h> // after windows.h, which it needs

namespace {

std::string own_path() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string log_path() {
    return own_path() + ".log";
}

constexpr UINT_PTR kFaultTimer = 1;

// Lines end in LF alone, as the Linux side reads them.
void log_line(const std::string& line) {
    std::ofstream(log_path(), std::ios::app | std::ios::binary) << line << "\n" << std::flush;
}

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_LBUTTONDOWN) {
        POINT at{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
        ClientToScreen(window, &at);
        log_line("click " + std::to_string(at.x) + " " + std::to_string(at.y));
        return 0;
    }
    if (message == WM_TIMER && wparam == kFaultTimer) {
        if (own_path().find("crashes") != std::string::npos) {
            log_line("crash");
            *static_cast<volatile int*>(nullptr) = 1;
        }
        log_line("hang");
        Sleep(INFINITE);
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc == 3 && std::wstring(argv[1]) == L"/minimise") {
        const HWND window = FindWindowW(nullptr, argv[2]);
        if (!window) return 1;
        ShowWindow(window, SW_MINIMIZE);
        return 0;
    }
    log_line("start " + std::to_string(GetCurrentProcessId()));
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    log_line(std::string("folder ") + folder);
    std::string arguments;
    for (int i = 1; i < __argc; ++i)
        arguments += std::string(i > 1 ? "|" : "") + __argv[i];
    log_line("arguments " + arguments);
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = window_proc;
    window_class.hInstance = instance;
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    window_class.lpszClassName = L"keeprun-wine-target";
    RegisterClassW(&window_class);
    using namespace keeprun::wine;
    const HWND window =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, window_class.lpszClassName, L"target",
                        WS_POPUP | WS_VISIBLE, kTargetX, kTargetY, kTargetSize, kTargetSize,
                        nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    const std::string path = own_path();
    if (path.find("crashes") != std::string::npos) SetTimer(window, kFaultTimer, 3000, nullptr);
    if (path.find("hangs") != std::string::npos) SetTimer(window, kFaultTimer, 5000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
