#pragma once
// The shared text routines. Texts are UTF-8; positions and lengths count
// UTF-16 code units, and every character comparison is exact.
#include <string>
#include <string_view>

namespace keeprun {

// Keeps the characters of `allowed`; each run of others becomes one space; trimmed.
std::string keep_chars_spaced(std::string_view text, std::string_view allowed);
// Keeps only the characters of `allowed`, no spaces at all.
std::string keep_only_chars(std::string_view text, std::string_view allowed);
// The text between the markers; of several marked values the last one wins.
std::string text_between(std::string_view text, std::string_view before, std::string_view after);
// The text cut into lines of columns * (column_width + 1) characters joined by CR LF.
std::string wrap_text(std::string_view text, int columns, int column_width);
// `count` random decimal digits (at most 7).
std::string random_digits(int count);
// A compiled-in resource of type "CUSTOM" as text: lookup 1 looks `key` up as a
// number, lookup 2 as a name; anything else, or a missing resource, gives "".
std::string custom_resource_text(std::string_view key, int lookup);
// The raw bytes of a resource of type "CUSTOM" by name (empty when missing).
std::string_view custom_resource(std::string_view name);

// Spaces trimmed at both ends.
std::string trim_spaces(std::string_view text);

} // namespace keeprun
