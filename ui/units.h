#pragma once
// Layout is written in twips (15 per pixel at 96 dpi) and colours as the
// Windows values 0x00BBGGRR (255 is red, 0xFF0000 blue); these two helpers are
// the only places that turn them into Qt's pixels and colours.
#include <QColor>
#include <QRect>
#include <cstdint>

namespace keeprun {

// Twips to logical pixels, rounded to the nearest pixel.
constexpr int tw(int twips) {
    return twips >= 0 ? (twips * 2 + 15) / 30 : -((-twips * 2 + 15) / 30);
}

// A rectangle given as left, top, width, height in twips.
inline QRect tw_rect(int left, int top, int width, int height) {
    return QRect(tw(left), tw(top), tw(width), tw(height));
}

// 0x00BBGGRR to QColor; the high byte is ignored.
inline QColor win_color(std::int32_t bgr) {
    const auto v = static_cast<std::uint32_t>(bgr);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

// QColor back to 0x00BBGGRR.
inline std::int32_t win_value(const QColor& c) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(c.red()) |
                                     static_cast<std::uint32_t>(c.green()) << 8 |
                                     static_cast<std::uint32_t>(c.blue()) << 16);
}

} // namespace keeprun
