#pragma once
// The shared text routines. Texts are UTF-8; positions and lengths count
// UTF-16 code units, and every character comparison is exact.
#include <string>
#include <string_view>

namespace keeprun {

// Keeps the characters of `mubiao_str`; each run of others becomes one space; trimmed.
std::string only_str(std::string_view yuan_str, std::string_view mubiao_str);
// Keeps only the characters of `mubiao_str`, no spaces at all.
std::string only_str_no(std::string_view yuan_str, std::string_view mubiao_str);
// The text between the markers; of several marked values the last one wins.
std::string get_val_zhongjian(std::string_view mystr, std::string_view q_str,
                              std::string_view h_str);
// The text cut into lines of lie * (vcd + 1) characters joined by CR LF.
std::string get_xx_dd_format(std::string_view mystr, int lie, int vcd);
// `cd` random decimal digits (at most 7).
std::string get_sjm(int cd);
// A compiled-in resource of type "CUSTOM" as text: bz 1 looks `v_id` up as a
// number, bz 2 as a name; anything else, or a missing resource, gives "".
std::string get_zfc_custom(std::string_view v_id, int bz);
// The raw bytes of a resource of type "CUSTOM" by name (empty when missing).
std::string_view custom_resource(std::string_view name);

// Spaces trimmed at both ends.
std::string trim_spaces(std::string_view text);

} // namespace keeprun
