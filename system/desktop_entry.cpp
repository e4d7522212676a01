#include "system/desktop_entry.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "system/argument_text.h"

namespace keeprun {
namespace {

// Launchers are small; a bigger file is not one.
constexpr std::streamsize kMaxLauncherBytes = 1 << 20;

std::string_view trim_blanks(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The raw value of a key in the "[Desktop Entry]" group.
std::optional<std::string_view> entry_value(std::string_view text, std::string_view key) {
    bool in_entry = false;
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(from, end - from);
        from = end + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        line = trim_blanks(line);
        if (line.starts_with('[')) {
            in_entry = line == "[Desktop Entry]";
            continue;
        }
        if (!in_entry || !line.starts_with(key)) continue;
        const std::string_view rest = trim_blanks(line.substr(key.size()));
        if (rest.starts_with('=')) return trim_blanks(rest.substr(1));
    }
    return std::nullopt;
}

// Escapes of the value type "string": \s \n \t \r \\. They come before the
// quoting of Exec, so a literal backslash in a quoted argument is written four times.
std::string unescape_value(std::string_view v) {
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] != '\\' || i + 1 == v.size()) {
            out += v[i];
            continue;
        }
        const char c = v[++i];
        switch (c) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            out += '\\', out += c;
            break;
        }
    }
    return out;
}

// One argument with its field codes removed ("%%" is a literal "%").
std::string drop_field_codes(std::string_view arg) {
    std::string out;
    for (std::size_t i = 0; i < arg.size(); ++i) {
        if (arg[i] != '%' || i + 1 == arg.size()) {
            out += arg[i];
            continue;
        }
        if (arg[++i] == '%') out += '%';
    }
    return out;
}

// Splits the command line into words; double quotes group, and a backslash
// escapes the next character. A word that was only a field code is dropped.
std::vector<std::string> exec_words(std::string_view cmd) {
    std::vector<std::string> words;
    std::string word;
    bool in_word = false;
    bool quoted_part = false;
    auto finish = [&] {
        if (in_word) {
            std::string w = drop_field_codes(word);
            if (!w.empty() || (quoted_part && word.empty())) words.push_back(std::move(w));
        }
        word.clear();
        in_word = quoted_part = false;
    };
    for (std::size_t i = 0; i < cmd.size(); ++i) {
        const char c = cmd[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            finish();
        } else if (c == '"') {
            in_word = quoted_part = true;
            for (++i; i < cmd.size() && cmd[i] != '"'; ++i) {
                if (cmd[i] == '\\' && i + 1 < cmd.size()) ++i;
                // no field codes inside quotes: doubled, the "%" survives as itself
                if (cmd[i] == '%') word += '%';
                word += cmd[i];
            }
        } else {
            in_word = true;
            if (c == '\\' && i + 1 < cmd.size()) ++i;
            word += cmd[i];
        }
    }
    finish();
    return words;
}

bool is_env(std::string_view word) {
    return word == "env" || word.ends_with("/env");
}

// The word after env's options and NAME=VALUE assignments: what env runs.
std::size_t past_env(const std::vector<std::string>& words, std::size_t env) {
    std::size_t i = env + 1;
    while (i < words.size() && words[i].starts_with('-')) {
        const std::string& option = words[i++];
        if (option == "--") break;
        if (option == "-u" || option == "-C" || option == "--unset" || option == "--chdir") ++i;
    }
    while (i < words.size() && words[i].find('=') != std::string::npos)
        ++i;
    return i;
}

// Programs that run some other program given in their arguments: shells,
// script interpreters, sandboxes and launchers. Stored as a slot's program, a
// timed close would end every one of them the user runs and the running check
// would take any of them for the slot's.
bool runs_another_program(std::string_view word) {
    static constexpr std::string_view kRunners =
        " sh bash dash zsh ksh mksh fish csh tcsh busybox python perl ruby node java"
        " flatpak snap firejail bwrap sudo pkexec nohup setsid nice ionice taskset xdg-open gio"
        " gtk-launch exo-open kde-open systemd-run dbus-launch x-terminal-emulator ";
    std::string_view name = word.substr(word.rfind('/') + 1);
    // Versioned names count as their program: python3.11, perl5.36.
    while (!name.empty() &&
           (std::isdigit(static_cast<unsigned char>(name.back())) || name.back() == '.'))
        name.remove_suffix(1);
    return !name.empty() && name.find(' ') == std::string_view::npos &&
           kRunners.find(" " + std::string(name) + " ") != std::string_view::npos;
}

} // namespace

std::optional<DesktopLaunch> desktop_launch(std::string_view file_text) {
    const auto value = entry_value(file_text, "Exec");
    if (!value) return std::nullopt;
    std::vector<std::string> words = exec_words(unescape_value(*value));
    // Through env the launcher's program is the one env starts, not env.
    std::size_t program = 0;
    while (program < words.size() && is_env(words[program]))
        program = past_env(words, program);
    if (program >= words.size() || words[program].empty()) return std::nullopt;
    if (runs_another_program(words[program])) return std::nullopt;
    DesktopLaunch launch;
    launch.program = std::move(words[program]);
    launch.arguments.assign(std::make_move_iterator(words.begin() + static_cast<long>(program) + 1),
                            std::make_move_iterator(words.end()));
    launch.folder = unescape_value(entry_value(file_text, "Path").value_or(""));
    return launch;
}

std::optional<std::string> resolve_program(std::string_view program, std::string_view path_list,
                                           const FileStatus& files) {
    if (program.empty()) return std::nullopt;
    if (program.find('/') != std::string_view::npos) return std::string(program);
    std::size_t from = 0;
    while (from <= path_list.size()) {
        std::size_t end = path_list.find(':', from);
        if (end == std::string_view::npos) end = path_list.size();
        const std::string_view dir = path_list.substr(from, end - from);
        from = end + 1;
        if (dir.empty())
            continue; // an empty entry would mean the current folder: not for launchers
        std::string candidate(dir);
        if (!candidate.ends_with('/')) candidate += '/';
        candidate += program;
        if (files.status(candidate).executable) return candidate;
    }
    return std::nullopt;
}

std::optional<Shortcut> desktop_entry_shortcut(std::string_view launcher_path,
                                               const FileStatus& files) {
    std::ifstream in{std::string(launcher_path), std::ios::binary};
    if (!in) return std::nullopt;
    std::string text(static_cast<std::size_t>(kMaxLauncherBytes) + 1, '\0');
    in.read(text.data(), kMaxLauncherBytes + 1);
    if (in.gcount() > kMaxLauncherBytes) return std::nullopt;
    text.resize(static_cast<std::size_t>(in.gcount()));
    const auto launch = desktop_launch(text);
    if (!launch) return std::nullopt;
    const auto program = find_program(launch->program, files);
    if (!program) return std::nullopt;
    // A link to a wrapper under another name, as snap's /snap/bin/<app>.
    std::error_code error;
    const auto real = std::filesystem::canonical(*program, error);
    if (!error && runs_another_program(real.filename().string())) return std::nullopt;
    return Shortcut{*program, {join_argument_text(launch->arguments), launch->folder}};
}

std::optional<std::string> find_program(std::string_view program, const FileStatus& files) {
    const char* path_env = std::getenv("PATH");
    return resolve_program(program, path_env ? path_env : "/usr/local/bin:/usr/bin:/bin", files);
}

} // namespace keeprun
