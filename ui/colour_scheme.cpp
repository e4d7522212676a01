#include "ui/colour_scheme.h"

#include "system/colour_text.h"

#include <stdexcept>
#include <string>

namespace keeprun {
namespace {

std::int32_t g_dise_yanse = 0;

} // namespace

void d_底色更改(std::string_view text, SchemeWindow& window) {
    const auto colour = colour_text_value(text);
    if (!colour) throw std::invalid_argument("colour text is not a number");
    const std::int32_t ys = *colour;
    g_dise_yanse = ys;
    window.set_form_back(ys);
    window.set_check_sx_back(ys);
    for (int i = 0; i <= 6; ++i)
        window.set_picdi_back(i, ys);
    for (int k = 1; k <= 4; ++k) {
        window.ucf_fa1(k).a_set_ys(ys);
        window.ucf_fa2(k).a_set_ys(ys);
    }
}

std::int32_t dise_yanse() {
    return g_dise_yanse;
}

} // namespace keeprun
