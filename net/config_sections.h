#pragma once
// The server's configuration text: bracketed sections, read and applied one by
// one in a fixed order.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "net/config_target.h"
#include "system/exe_alias.h"

namespace keeprun {

// The version of this program; a larger "[banben]" forces an upgrade.
inline constexpr double kProgramVersion = 20220210;

// The text after the first `marker`, up to the second one or to the end of the
// whole text; not trimmed. nullopt when the marker does not occur.
std::optional<std::string> section_value(std::string_view text, std::string_view marker);

// A link or button value: caption "[*]" address ["[*]" ...].
struct TwoFields {
    std::string caption;
    std::string address;
};
// nullopt when the value holds no "[*]".
std::optional<TwoFields> two_field_value(std::string_view value);

// Fills the table from the "[exe]" value: upper case, one row per CR LF line
// holding ".EXE", split at "=" and trimmed. False on a line with ".EXE" but no
// "=" or on a 100th row (the rows before stay in the table).
bool fill_exe_alias_table(std::string_view section, ExeAliasTable& exe_alias_table);

// How applying the text ended.
enum class ConfigOutcome { accepted, network_failure, forced_upgrade, malformed };

struct AppliedText {
    ConfigOutcome outcome = ConfigOutcome::malformed;
    // What made the text malformed, for the user to read on standard error.
    std::string fault;
    ExeAliasTable exe_alias_table;
    // "[shengji]": the download link of a forced upgrade.
    std::string upgrade_url;
};

// Applies the sections to `target` in order, each checked as it comes: a
// forced upgrade stops after "[banben]", a fault stops where it is found and
// what was applied before it stays. Gives accepted, forced_upgrade or malformed.
AppliedText apply_server_text(std::string_view server_text, ConfigTarget& target);

} // namespace keeprun
