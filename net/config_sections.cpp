#include "net/config_sections.h"

#include <string>

#include "system/colour_text.h"
#include "system/numbers.h"
#include "system/text.h"

namespace keeprun {
namespace {

constexpr std::size_t kMaxAliasRows = 99;

std::string ascii_upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string numbered(const char* stem, int i) {
    return stem + std::to_string(i) + "]";
}

AppliedText ended(ConfigOutcome outcome, std::string fault = {}) {
    AppliedText r;
    r.outcome = outcome;
    r.fault = std::move(fault);
    return r;
}

AppliedText missing(std::string_view marker) {
    return ended(ConfigOutcome::malformed, "no " + std::string(marker) + " section");
}

AppliedText no_two_fields(const std::string& marker) {
    return ended(ConfigOutcome::malformed,
                 "no " + marker + " section of the form caption[*]address");
}

// Caption and address of a two-field section; false when the section or its
// "[*]" is missing.
bool two_field_section(std::string_view text, const std::string& marker, TwoFields& out) {
    const auto value = section_value(text, marker);
    if (!value) return false;
    const auto fields = two_field_value(*value);
    if (!fields) return false;
    out = *fields;
    return true;
}

} // namespace

std::optional<std::string> section_value(std::string_view text, std::string_view marker) {
    const std::size_t first = text.find(marker);
    if (marker.empty() || first == std::string_view::npos) return std::nullopt;
    const std::size_t from = first + marker.size();
    const std::size_t second = text.find(marker, from);
    return std::string(text.substr(from, second == std::string_view::npos ? std::string_view::npos
                                                                          : second - from));
}

std::optional<TwoFields> two_field_value(std::string_view value) {
    constexpr std::string_view sep = "[*]";
    const std::size_t first = value.find(sep);
    if (first == std::string_view::npos) return std::nullopt;
    const std::size_t from = first + sep.size();
    const std::size_t second = value.find(sep, from);
    return TwoFields{
        std::string(value.substr(0, first)),
        std::string(value.substr(from, second == std::string_view::npos ? std::string_view::npos
                                                                        : second - from))};
}

bool fill_exe_alias_table(std::string_view section, ExeAliasTable& exe_alias_table) {
    exe_alias_table.clear();
    const std::string text = ascii_upper(section);
    if (text.find("EXE") == std::string::npos) return true;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string_view line = std::string_view(text).substr(start, end - start);
        start = end + 2;
        if (line.find(".EXE") == std::string_view::npos) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos || exe_alias_table.size() == kMaxAliasRows) return false;
        // A row is one file name for another: anything more could make the
        // running check take some other program (or a folder's) for the slot's.
        if (line.find('=', eq + 1) != std::string_view::npos ||
            line.find_first_of("/\\") != std::string_view::npos)
            continue;
        exe_alias_table.emplace_back(trim_spaces(line.substr(0, eq)),
                                     trim_spaces(line.substr(eq + 1)));
    }
    return true;
}

AppliedText apply_server_text(std::string_view server_text, ConfigTarget& target) {
    const auto caption = section_value(server_text, "[biaoti]");
    if (!caption) return missing("[biaoti]");
    target.set_caption(*caption);

    const auto version = section_value(server_text, "[banben]");
    if (!version) return missing("[banben]");
    if (number_value(*version) > kProgramVersion) {
        const auto upgrade_link = section_value(server_text, "[shengji]");
        if (!upgrade_link) return missing("[shengji]");
        AppliedText r = ended(ConfigOutcome::forced_upgrade);
        r.upgrade_url = *upgrade_link;
        return r;
    }

    const auto exit_link = section_value(server_text, "[tuichu]");
    if (!exit_link) return missing("[tuichu]");
    target.set_exit_link(*exit_link);

    TwoFields fields;
    for (int i = 1; i <= 3; ++i) {
        if (!two_field_section(server_text, numbered("[kf", i), fields))
            return no_two_fields(numbered("[kf", i));
        target.set_link(i, fields.caption, fields.address);
    }
    for (int i = 1; i <= 5; ++i) {
        if (!two_field_section(server_text, numbered("[zdy", i), fields))
            return no_two_fields(numbered("[zdy", i));
        target.set_custom_button(i, fields.caption, fields.address);
    }

    if (const auto colour_text = section_value(server_text, "[peise]")) {
        if (!colour_text_value(*colour_text))
            return ended(ConfigOutcome::malformed, "[peise] holds no valid colours");
        target.set_background(*colour_text);
    }

    const auto exe = section_value(server_text, "[exe]");
    AppliedText r;
    if (!exe) return missing("[exe]");
    if (!fill_exe_alias_table(*exe, r.exe_alias_table))
        return ended(ConfigOutcome::malformed, "[exe] has a row without \"=\" or more than " +
                                                   std::to_string(kMaxAliasRows) + " rows");
    target.set_program_aliases(r.exe_alias_table);
    r.outcome = ConfigOutcome::accepted;
    return r;
}

} // namespace keeprun
