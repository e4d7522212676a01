#pragma once
// The little JSON that group bots speak: quoting a text for a message body, and
// reading one field of an answer such as {"errcode":0,"errmsg":"ok"}.
#include <optional>
#include <string>
#include <string_view>

namespace keeprun {

// `text` (UTF-8) as a JSON string, quotes included.
std::string json_quoted(std::string_view text);

// The value of the first member named `name` anywhere in `json`: a number or a
// string, as text (a string's escapes resolved). Nothing when it is missing or
// of another type.
std::optional<std::string> json_field(std::string_view json, std::string_view name);

} // namespace keeprun
