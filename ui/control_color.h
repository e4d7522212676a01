#pragma once
// Back and text colours of any control, kept as the Windows value the caller
// gave, so that "is this button red?" compares values, not rendered pixels.
#include <QWidget>
#include <cstdint>

namespace keeprun {

// Colours more than one window paints (Windows values 0x00BBGGRR).
inline constexpr std::int32_t kPanelGrey = 0xE0E0E0;
inline constexpr std::int32_t kRed = 255;

void set_back_color(QWidget* w, std::int32_t colour);
// The value last given by set_back_color; for a control never coloured, the
// palette's background converted back.
std::int32_t back_color(const QWidget* w);
void set_fore_color(QWidget* w, std::int32_t colour);
std::int32_t fore_color(const QWidget* w);

} // namespace keeprun
