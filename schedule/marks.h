#pragma once
// Which of a slot's fields take effect, as the colours the panel paints
// (Windows colour values 0x00BBGGRR).
#include <array>
#include <cstdint>
#include <optional>

namespace keeprun {

inline constexpr std::uint32_t kColourNearBlack = 1;
inline constexpr std::uint32_t kColourGrey = 0x808080;
inline constexpr std::uint32_t kColourWhite = 0xFFFFFF;
inline constexpr std::uint32_t kColourPanelGrey = 0xE0E0E0;
inline constexpr std::uint32_t kColourUnsetField = 0xF9F9F4;
inline constexpr std::uint32_t kColourRed = 255;

struct FieldColours {
    std::uint32_t back = 0;
    std::uint32_t fore = 0;
};

struct Marks {
    // Path box text: grey while it holds the hint, dark once it holds a path.
    std::uint32_t path_fore = kColourGrey;
    // Per click position: whether it counts as set; the back colour of its delay
    // list; back and text colour of its position box.
    std::array<bool, 4> position_set{};
    std::array<std::uint32_t, 4> delay_back{};
    std::array<FieldColours, 4> position{};
    // Second kind: the restart rule and close time lists, white while their switch is on.
    std::optional<std::array<FieldColours, 2>> rule_lists;
};

} // namespace keeprun
