#pragma once
// Which files count as programs: the path a slot acts on, the path box shown dark,
// and what a drop accepts. Two rule sets, both pure and compiled everywhere: the
// Windows one works on the text of the path (".exe", ".lnk", ":\"), the POSIX one
// on the file itself (an executable regular file, a ".desktop" launcher).
#include <string_view>

namespace keeprun {

enum class FileRules { windows, posix };

#ifdef _WIN32
inline constexpr FileRules native_file_rules = FileRules::windows;
#else
inline constexpr FileRules native_file_rules = FileRules::posix;
#endif

struct FileInfo {
    bool exists = false;
    bool regular = false;    // a plain file, not a folder or a device
    bool executable = false; // a regular file this user may run
};

// How the rules see the file system; tests give a fake.
class FileStatus {
  public:
    virtual ~FileStatus() = default;
    virtual FileInfo status(std::string_view path) const = 0;
};

// The machine's own file system.
const FileStatus& local_file_status();

// A slot acts only on this path (the caller passes it trimmed).
bool slot_path_usable(FileRules rules, std::string_view path, const FileStatus& files);
// The path box shows its text dark (a path) rather than grey (the hint).
bool path_shown_dark(FileRules rules, std::string_view path);
// A dropped file, or a shortcut's target, that a slot takes as its program.
bool is_dropped_program(FileRules rules, std::string_view path, const FileStatus& files);
// A dropped file that is a shortcut to a program; its target is read separately.
bool is_dropped_shortcut(FileRules rules, std::string_view path);

} // namespace keeprun
