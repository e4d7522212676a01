#include "system/process.h"

#include <windows.h>

#include <shellapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>

#include "system/win32/com_scope_win32.h"
#include "system/win32/process_win32.h"
#include "system/win32/wide_win32.h"

namespace keeprun {

class ProcessPin {
  public:
    ProcessPin() = default;
    ProcessPin(const ProcessPin&) = delete;
    ProcessPin& operator=(const ProcessPin&) = delete;
    ~ProcessPin() {
        if (handle) CloseHandle(handle);
    }

    HANDLE handle = nullptr; // null: the system could not pin it
    DWORD pid = 0;
    std::optional<std::wstring> image; // what it ran when found
    bool started = false;              // keeprun started it for the program
};

void ProcessPinRelease::operator()(ProcessPin* pin) const noexcept {
    delete pin;
}

namespace {

class Handle {
  public:
    explicit Handle(HANDLE h) : h_(h) {}
    ~Handle() {
        if (h_ && h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ && h_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE h_;
};

using QueryInformation = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

QueryInformation query_information() {
    static const auto query = reinterpret_cast<QueryInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    return query;
}

// Windows 8.1 and later hand out the command line directly.
constexpr auto kCommandLineClass = static_cast<PROCESSINFOCLASS>(60);

std::optional<std::wstring> command_line_direct(HANDLE process) {
    ULONG size = 0;
    query_information()(process, kCommandLineClass, nullptr, 0, &size);
    if (size < sizeof(UNICODE_STRING)) return std::nullopt;
    std::vector<unsigned char> buf(size);
    if (!NT_SUCCESS(query_information()(process, kCommandLineClass, buf.data(), size, &size)))
        return std::nullopt;
    const auto* text = reinterpret_cast<const UNICODE_STRING*>(buf.data());
    return std::wstring(text->Buffer, text->Length / sizeof(wchar_t));
}

template <typename T> bool read_remote(HANDLE process, const void* at, T& out) {
    SIZE_T n = 0;
    return ReadProcessMemory(process, at, &out, sizeof out, &n) && n == sizeof out;
}

// Older systems (and Wine): the command line as the process's own block holds
// it. Reading another process's memory is refused for elevated and protected
// ones, so it takes a handle of its own.
std::optional<std::wstring> command_line_from_peb(HANDLE looked_at) {
    const Handle reader(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, GetProcessId(looked_at)));
    if (!reader) return std::nullopt;
    const HANDLE process = reader.get();
    PROCESS_BASIC_INFORMATION basic{};
    if (!NT_SUCCESS(
            query_information()(process, ProcessBasicInformation, &basic, sizeof basic, nullptr)))
        return std::nullopt;
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    if (!basic.PebBaseAddress || !read_remote(process, basic.PebBaseAddress, peb) ||
        !peb.ProcessParameters || !read_remote(process, peb.ProcessParameters, parameters))
        return std::nullopt;
    std::wstring text(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    SIZE_T n = 0;
    if (!ReadProcessMemory(process, parameters.CommandLine.Buffer, text.data(),
                           parameters.CommandLine.Length, &n) ||
        n != parameters.CommandLine.Length)
        return std::nullopt;
    return text;
}

std::optional<std::wstring> image_path(HANDLE process) {
    wchar_t buf[32768];
    DWORD size = static_cast<DWORD>(std::size(buf));
    if (!QueryFullProcessImageNameW(process, 0, buf, &size)) return std::nullopt;
    return std::wstring(buf, size);
}

// The head of the process's command line, as the matching rules compare it;
// the image path, which every process of the user gives, when the command line
// cannot be read.
std::string program_of(HANDLE process) {
    if (!query_information()) return {};
    auto line = command_line_direct(process);
    if (!line) line = command_line_from_peb(process);
    if (!line) line = image_path(process);
    if (!line) return {};
    return win_exe_of_command_line(narrow(*line)).value_or("");
}

// All the scan asks for: elevated and protected processes grant no more to a
// keeprun that runs as the user.
constexpr DWORD kLookAccess = PROCESS_QUERY_LIMITED_INFORMATION;
constexpr DWORD kHoldAccess = kLookAccess | SYNCHRONIZE;
constexpr DWORD kPinAccess = kHoldAccess | PROCESS_TERMINATE;

template <typename Found> void scan_processes(Found found) {
    Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        Handle process(OpenProcess(kLookAccess, FALSE, entry.th32ProcessID));
        if (!process) continue;
        WinProcessRow row{std::to_string(entry.th32ProcessID), narrow(entry.szExeFile),
                          program_of(process.get())};
        found(std::move(row));
    }
}

// Terminates the process only when it still runs the same program: the handle
// pins it, so the id cannot be reused between the check and the kill.
void terminate_checked(const WinProcessRow& row) {
    Handle process(OpenProcess(kLookAccess | PROCESS_TERMINATE, FALSE,
                               static_cast<DWORD>(std::stoul(row.pid))));
    if (process && program_of(process.get()) == row.exe) TerminateProcess(process.get(), 1);
}

// One argument as the usual command-line parser reads it back.
std::wstring quoted(std::string_view arg) {
    const std::wstring w = widen(arg);
    if (!w.empty() && w.find_first_of(L" \t\"") == std::wstring::npos) return w;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : w) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    return out + L"\"";
}

// The folder of a program path, where Explorer would start it.
std::wstring folder_of(const std::wstring& file) {
    const std::size_t cut = file.find_last_of(L"\\/");
    if (cut == std::wstring::npos) return {};
    return file.substr(0, cut == 2 && file[1] == L':' ? 3 : cut);
}

// The shell starts the program on its own: nothing of keeprun's is inherited,
// and nobody waits for it. With `process`, a handle on the process it started,
// if it started one. Runs on a thread of its own: an elevation prompt holds it.
bool shell_open(const std::vector<std::string>& args, const StartSettings& how, HANDLE* process) {
    if (args.empty() || args.front().empty()) return false;
    const ComScope com;
    const std::wstring file = widen(args.front());
    std::wstring parameters = widen(how.arguments);
    for (std::size_t i = 1; i < args.size(); ++i)
        parameters += (parameters.empty() ? L"" : L" ") + quoted(args[i]);
    const std::wstring folder = how.folder.empty() ? folder_of(file) : widen(how.folder);
    // A start folder that is gone fails the start, as Explorer refuses such a
    // shortcut (Wine would start it elsewhere).
    const DWORD attributes = folder.empty() ? 0 : GetFileAttributesW(folder.c_str());
    if (!folder.empty() &&
        (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // No zone check: a downloaded program's security warning would stop an
    // unattended restart. The thread ends after the call, hence no asynchrony.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOZONECHECKS |
                 (process ? SEE_MASK_NOCLOSEPROCESS : 0);
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) return false;
    if (process) *process = info.hProcess;
    return true;
}

} // namespace

void list_processes(std::vector<WinProcessRow>& table) {
    table.clear();
    scan_processes([&](WinProcessRow row) { table.push_back(std::move(row)); });
}

int is_program_running(std::string_view path, const ExeAliasTable& aliases) {
    std::vector<WinProcessRow> table;
    list_processes(table);
    return win_is_running(table, path, aliases) ? 1 : 0;
}

void close_program(std::string_view path) {
    std::vector<WinProcessRow> table;
    list_processes(table);
    for (const long pid : win_pids_to_close(table, path)) {
        const auto row = std::find_if(table.begin(), table.end(), [&](const WinProcessRow& r) {
            return r.pid == std::to_string(pid);
        });
        if (row != table.end()) terminate_checked(*row);
    }
}

bool open_program(std::string_view path, const StartSettings& how) {
    return shell_open({std::string(path)}, how, nullptr);
}

bool start_detached(const std::vector<std::string>& args) {
    return shell_open(args, {}, nullptr);
}

bool open_web_page(std::string_view url) {
    // Waited for: keeprun may end right after (the exit link, a forced
    // upgrade), and a browser asks nobody for elevation.
    const std::wstring address = widen(url);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = address.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info);
}

PinnedProcess find_pinned(std::string_view path, const ExeAliasTable& aliases) {
    const std::string exe = win_running_exe(path, aliases);
    std::vector<WinProcessRow> table;
    list_processes(table);
    for (const WinProcessRow& row : table) {
        if (row.exe.empty() || row.exe != exe) continue;
        const auto pid = static_cast<DWORD>(std::stoul(row.pid));
        // An elevated program cannot be ended from here, but still be held.
        HANDLE process = OpenProcess(kPinAccess, FALSE, pid);
        if (!process && GetLastError() == ERROR_ACCESS_DENIED)
            process = OpenProcess(kHoldAccess, FALSE, pid);
        if (!process && GetLastError() == ERROR_INVALID_PARAMETER) continue; // gone
        PinnedProcess pin(new ProcessPin);
        pin->pid = pid;
        if (!process) return pin; // running, but asked again next time
        pin->handle = process;
        pin->image = image_path(process);
        // The id may have passed to another process between the walk and the
        // pin: the pinned one must still match.
        if (program_of(process) == exe && pin_holds(*pin)) return pin;
    }
    return nullptr;
}

PinnedProcess open_pinned(std::string_view path, const StartSettings& how) {
    PinnedProcess pin(new ProcessPin);
    if (!shell_open({std::string(path)}, how, &pin->handle)) return nullptr;
    pin->pid = pin->handle ? GetProcessId(pin->handle) : 0;
    pin->started = true;
    return pin;
}

bool pin_holds(const ProcessPin& pin) {
    // The handle keeps the id from passing to another process; it is
    // signalled once the process has ended.
    if (!pin.handle || WaitForSingleObject(pin.handle, 0) != WAIT_TIMEOUT) return false;
    return pin.started || (pin.image && image_path(pin.handle) == pin.image);
}

long pinned_pid(const ProcessPin& pin) {
    return static_cast<long>(pin.pid);
}

bool end_crash_dialog_of(long pid) {
    bool ended = false;
    Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || !query_information()) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        const std::string name = narrow(entry.szExeFile);
        // Only a dialog's own command line is read, never a game's.
        if (!is_crash_dialog(name)) continue;
        Handle dialog(OpenProcess(kLookAccess | PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
        if (!dialog) continue;
        auto line = command_line_direct(dialog.get());
        if (!line) line = command_line_from_peb(dialog.get());
        if (line && crashed_pid_of(name, narrow(*line)) == pid) {
            TerminateProcess(dialog.get(), 1);
            ended = true;
        }
    }
    return ended;
}

void kill_pinned(const ProcessPin& pin) {
    if (pin.pid > 10 && pin_holds(pin)) TerminateProcess(pin.handle, 1);
}

} // namespace keeprun
