#include "system/autostart.h"

#include "system/file_io.h"
#include "system/posix/xdg_posix.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

namespace keeprun {
namespace {

std::string entry_folder() {
    return xdg_folder("XDG_CONFIG_HOME", ".config") + "/autostart";
}

std::string entry_path() {
    return entry_folder() + "/keeprun.desktop";
}

// One argument of an Exec line: quoted when it holds a reserved character, with
// the escapes quoting needs, then "%" doubled and the escapes of a string value.
std::string exec_argument(std::string_view arg) {
    const bool quote = arg.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string_view::npos;
    std::string word;
    for (const char c : arg) {
        if (quote && std::strchr("\"`$\\", c)) word += '\\';
        word += c;
        if (c == '%') word += '%';
    }
    if (quote) word = '"' + word + '"';
    std::string value;
    for (const char c : word) {
        switch (c) {
        case '\\':
            value += "\\\\";
            break;
        case '\n':
            value += "\\n";
            break;
        case '\t':
            value += "\\t";
            break;
        case '\r':
            value += "\\r";
            break;
        default:
            value += c;
        }
    }
    return value;
}

// The Exec= line of the entry for `program`, without the login option when `login` is false.
std::string exec_line(const std::string& program, bool login) {
    return "Exec=" + exec_argument(program) + (login ? std::string(" ") + kLoginOption : "");
}

} // namespace

bool autostart_enabled() {
    return path_exists(entry_path());
}

std::string set_autostart(bool on, const std::string& program) {
    const std::string path = entry_path();
    if (!on) {
        if (std::remove(path.c_str()) == 0 || errno == ENOENT) return "";
        return path + ": " + std::strerror(errno);
    }
    const std::string made = make_folders(entry_folder());
    if (!made.empty()) return made;
    const std::string entry = std::string("[Desktop Entry]\n"
                                          "Type=Application\n"
                                          "Name=keeprun\n"
                                          "Name[zh_CN]=keeprun 程序守护\n"
                                          "Icon=io.github.keeprun.keeprun\n") +
                              exec_line(program, true) +
                              "\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n";
    if (!write_file_atomic(path, entry)) return path + ": the entry could not be written";
    return "";
}

void update_autostart_entry(const std::string& program) {
    const std::string path = entry_path();
    const std::optional<std::string> entry = read_file_bytes(path);
    if (!entry) return;
    const std::string old_line = "\n" + exec_line(program, false) + "\n";
    const std::size_t at = entry->find(old_line);
    if (at == std::string::npos) return;
    std::string updated = *entry;
    updated.replace(at, old_line.size(), "\n" + exec_line(program, true) + "\n");
    write_file_atomic(path, updated);
}

// The Debian package starts nothing at login by itself.
void take_installer_autostart_choice(const std::string&) {}

} // namespace keeprun
