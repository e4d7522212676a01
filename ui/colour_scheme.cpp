#include "ui/colour_scheme.h"

#include "system/colour_text.h"

#include <stdexcept>
#include <string>

namespace keeprun {
namespace {

std::int32_t g_scheme_colour = 0;

} // namespace

void apply_colour_scheme(std::string_view text, SchemeWindow& window) {
    const auto value = colour_text_value(text);
    if (!value) throw std::invalid_argument("colour text is not a number");
    const std::int32_t colour = *value;
    g_scheme_colour = colour;
    window.set_window_back(colour);
    window.set_start_minimised_back(colour);
    for (int i = 0; i <= 6; ++i)
        window.set_panel_back(i, colour);
    for (int k = 1; k <= 4; ++k) {
        window.keep_alive_panel(k).set_scheme_colour(colour);
        window.timed_panel(k).set_scheme_colour(colour);
    }
}

std::int32_t scheme_colour() {
    return g_scheme_colour;
}

} // namespace keeprun
