#pragma once
// A slot's settings as data.ini stores them: one text of 16 fields joined by
// "[*]", read and written through this one table:
//
//   field   0       the program's path (the hint while the slot is empty)
//   fields  1 - 4   the waits in seconds: before the start is clicked, then
//                   before each further click
//   fields  5 - 8   the four click positions, "x*y"
//   fields  9 - 10  the two switches, "0" or "1": restart, close (second kind)
//   fields 11 - 12  the restart rule and the close time (second kind)
//   fields 13 - 14  a dropped shortcut's arguments and start folder (empty for
//                   a typed path; older versions write them empty and ignore them)
//   field   15      reserved: written empty, ignored when read
#include <cstddef>
#include <string_view>

namespace keeprun {

inline constexpr std::string_view kParamSeparator = "[*]";

enum class ParamField : std::size_t {
    path = 0,
    wait = 1,
    position = 5,
    switch_value = 9,
    rule = 11,
    start_arguments = 13,
    start_folder = 14,
    reserved = 15,
    end = 16,
};

// The index of the i-th field of a group (i from 0).
constexpr std::size_t param_index(ParamField group, int i = 0) {
    return static_cast<std::size_t>(group) + static_cast<std::size_t>(i);
}

inline constexpr std::size_t kParamFieldCount = param_index(ParamField::end);

} // namespace keeprun
