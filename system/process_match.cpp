#include "system/process_match.h"

#include "system/numbers.h"
#include "system/text.h"

namespace keeprun {
namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

std::string_view file_part(std::string_view path, char separator) {
    const std::size_t cut = path.rfind(separator);
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string_view folder_part(std::string_view path) {
    const std::size_t cut = path.rfind('/');
    return cut == std::string_view::npos ? std::string_view{} : path.substr(0, cut);
}

std::string_view trim_blanks(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> out;
    for (s = trim_blanks(s); !s.empty(); s = trim_blanks(s)) {
        const std::size_t cut = s.find_first_of(" \t");
        out.push_back(s.substr(0, cut));
        if (cut == std::string_view::npos) break;
        s.remove_prefix(cut);
    }
    return out;
}

} // namespace

bool win_names_program(std::string_view path) {
    return upper(path).find(".EXE") != std::string::npos;
}

std::optional<std::string> win_exe_of_command_line(std::string_view command_line) {
    std::string u = upper(command_line);
    std::erase(u, '"');
    u = trim_spaces(u);
    const std::size_t cut = u.find(".EXE");
    if (cut == std::string::npos) return std::nullopt;
    return u.substr(0, cut) + ".EXE";
}

std::optional<std::string> win_x86_twin(std::string_view upper_path) {
    static constexpr std::string_view kX86 = "(X86)";
    const std::size_t at = upper_path.find(kX86);
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view after = upper_path.substr(at + kX86.size());
    after = after.substr(0, after.find(kX86));
    return trim_spaces(upper_path.substr(0, at)) + trim_spaces(after);
}

std::string win_alias_path(std::string_view upper_path, const ExeAliasTable& aliases) {
    const std::string_view name = file_part(upper_path, '\\');
    for (const auto& [program, instead] : aliases)
        if (!program.empty() && program == name)
            return std::string(upper_path.substr(0, upper_path.size() - name.size())) + instead;
    return std::string(upper_path);
}

std::vector<long> win_pids_to_close(const std::vector<WinProcessRow>& table,
                                    std::string_view path) {
    std::vector<long> pids;
    if (!win_names_program(path)) return pids;
    const std::string u = upper(path);
    const std::optional<std::string> twin = win_x86_twin(u);
    for (const WinProcessRow& row : table) {
        if (row.exe.empty() || (row.exe != u && row.exe != twin)) continue;
        const long long pid = round_half_even(number_value(row.pid));
        if (pid > 10) pids.push_back(static_cast<long>(pid));
    }
    return pids;
}

std::string win_running_exe(std::string_view path, const ExeAliasTable& aliases) {
    return win_alias_path(upper(path), aliases);
}

bool win_is_running(const std::vector<WinProcessRow>& table, std::string_view path,
                    const ExeAliasTable& aliases) {
    const std::string u = win_running_exe(path, aliases);
    for (const WinProcessRow& row : table)
        if (!row.exe.empty() && row.exe == u) return true;
    return false;
}

std::optional<Shebang> parse_shebang(std::string_view head) {
    if (head.substr(0, 2) != "#!") return std::nullopt;
    const std::string_view line = trim_blanks(head.substr(2, head.find('\n') - 2));
    const std::size_t cut = line.find_first_of(" \t");
    Shebang s;
    s.interpreter = line.substr(0, cut);
    if (s.interpreter.empty()) return std::nullopt;
    // The kernel hands everything after the interpreter over as one argument.
    const std::string_view rest =
        cut == std::string_view::npos ? std::string_view{} : trim_blanks(line.substr(cut));
    s.script_arg = rest.empty() ? 1 : 2;
    if (file_part(s.interpreter, '/') != "env") return s;
    // env runs the program it names; with -S it splits the rest into words first.
    std::vector<std::string_view> run;
    if (rest.substr(0, 2) == "-S")
        run = words(rest.substr(2));
    else if (!rest.empty() && rest.front() != '-' && rest.find_first_of(" \t") == rest.npos)
        run = {rest};
    if (run.empty()) return std::nullopt;
    s.env_program = run.front();
    s.script_arg = run.size();
    return s;
}

std::string_view strip_deleted(std::string_view exe_link) {
    static constexpr std::string_view kDeleted = " (deleted)";
    if (exe_link.size() > kDeleted.size() && exe_link.ends_with(kDeleted))
        exe_link.remove_suffix(kDeleted.size());
    return exe_link;
}

std::optional<std::string> alias_for(std::string_view file_name, const ExeAliasTable& aliases) {
    const std::string name = upper(file_name);
    for (const auto& [program, instead] : aliases)
        if (!program.empty() && program == name) return instead;
    return std::nullopt;
}

bool executable_may_match(std::string_view exe, const ProgramMatch& match) {
    switch (match.kind) {
    case ProgramMatch::executable:
        return exe == match.path;
    case ProgramMatch::script:
        return exe == match.interpreter;
    case ProgramMatch::alias:
        return folder_part(exe) == match.path && upper(file_part(exe, '/')) == match.name;
    case ProgramMatch::none:
        break;
    }
    return false;
}

bool process_matches(const ProcessRow& row, const ProgramMatch& match, const ArgResolver& resolve) {
    if (!executable_may_match(row.exe, match)) return false;
    if (match.kind != ProgramMatch::script) return true;
    return row.argv.size() > match.script_arg &&
           resolve(row, row.argv[match.script_arg]) == match.path;
}

namespace {

// The option before the crashed process's id on a crash dialog's command line.
const char* crash_dialog_flag(std::string_view image_name) {
    const std::string name = upper(file_part(file_part(image_name, '\\'), '/'));
    if (name == "WERFAULT.EXE" || name == "WERFAULTSECURE.EXE") return "-p";
    if (name == "WINEDBG.EXE" || name == "WINEDBG") return "--auto";
    return nullptr;
}

} // namespace

bool is_crash_dialog(std::string_view image_name) {
    return crash_dialog_flag(image_name) != nullptr;
}

std::optional<long> crashed_pid_of(std::string_view image_name, std::string_view command_line) {
    const char* flag = crash_dialog_flag(image_name);
    if (!flag) return std::nullopt;
    const std::vector<std::string_view> w = words(command_line);
    for (std::size_t i = 0; i + 1 < w.size(); ++i) {
        if (w[i] != flag) continue;
        const std::string_view id = w[i + 1];
        if (id.empty() || id.find_first_not_of("0123456789") != std::string_view::npos ||
            id.size() > 9)
            return std::nullopt;
        return std::stol(std::string(id));
    }
    return std::nullopt;
}

} // namespace keeprun
