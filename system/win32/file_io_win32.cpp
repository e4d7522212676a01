#include "system/file_io.h"

#include <windows.h>

#include <random>

#include "system/win32/wide_win32.h"

namespace keeprun {
namespace {

class File {
  public:
    explicit File(HANDLE h) : h_(h) {}
    ~File() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    HANDLE get() const { return h_; }

  private:
    HANDLE h_;
};

bool is_separator(char c) {
    return c == '\\' || c == '/';
}

bool write_all(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

constexpr std::string_view kTempMark = ".tmp-";
constexpr std::size_t kTempTail = 6;

// Temporary files of earlier writes that were killed before their rename: whole
// or partial copies nobody reads, removed once a later write has succeeded.
void remove_stale_temporaries(const std::string& path) {
    std::size_t cut = path.size();
    while (cut > 0 && !is_separator(path[cut - 1]))
        --cut;
    const std::string folder = path.substr(0, cut);
    const std::wstring stem = widen(path.substr(cut)) + widen(kTempMark);
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((widen(folder) + stem + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring_view name = found.cFileName;
        if (name.size() == stem.size() + kTempTail && name.substr(0, stem.size()) == stem)
            DeleteFileW((widen(folder) + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// A new temporary file beside `path`, opened for writing; its name in `tmp`.
HANDLE create_temporary(const std::string& path, std::wstring& tmp) {
    static constexpr char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    thread_local std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = path + std::string(kTempMark);
        for (std::size_t i = 0; i < kTempTail; ++i)
            name += digits[random() % (sizeof digits - 1)];
        tmp = widen(name);
        const HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

} // namespace

std::optional<std::string> read_file_bytes(const std::string& path) {
    File f(CreateFileW(widen(path).c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (f.get() == INVALID_HANDLE_VALUE || GetFileType(f.get()) != FILE_TYPE_DISK)
        return std::nullopt;
    std::string out;
    char buf[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(f.get(), buf, sizeof buf, &n, nullptr)) return std::nullopt;
        if (n == 0) break;
        out.append(buf, n);
    }
    return out;
}

bool write_file_atomic(const std::string& path, std::string_view bytes, bool) {
    std::wstring tmp;
    bool ok = false;
    {
        File f(create_temporary(path, tmp));
        if (f.get() == INVALID_HANDLE_VALUE) return false;
        ok = write_all(f.get(), bytes) && FlushFileBuffers(f.get());
    }
    if (ok && MoveFileExW(tmp.c_str(), widen(path).c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        remove_stale_temporaries(path);
        return true;
    }
    DeleteFileW(tmp.c_str());
    return false;
}

bool path_exists(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool create_file_if_missing(const std::string& path) {
    const HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return true;
    }
    return path_exists(path);
}

std::string make_folders(const std::string& path) {
    // The drive ("c:") and a share's root cannot be created and are skipped.
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && !is_separator(path[at])) continue;
        const std::string part = path.substr(0, at);
        if (part.back() == ':' || is_separator(part.back())) continue;
        if (CreateDirectoryW(widen(part).c_str(), nullptr)) continue;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS) return part + ": error " + std::to_string(error);
    }
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return path + ": missing";
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return path + ": not a folder";
    return {};
}

} // namespace keeprun
