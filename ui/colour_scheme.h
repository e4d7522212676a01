#pragma once
// The colour scheme: one background colour from the server, painted on the main
// window and every slot. The window and the slot panels implement the two
// interfaces; apply_colour_scheme calls them in a fixed order.
#include <cstdint>
#include <string_view>

namespace keeprun {

// A slot panel: takes the background colour.
class SchemeSlot {
  public:
    virtual ~SchemeSlot() = default;
    virtual void set_scheme_colour(std::int32_t colour) = 0;
};

// The main window's parts that carry the background colour.
class SchemeWindow {
  public:
    virtual ~SchemeWindow() = default;
    virtual void set_window_back(std::int32_t colour) = 0;
    // start_minimised_box(0), the start-minimised option.
    virtual void set_start_minimised_back(std::int32_t colour) = 0;
    // panels(0) .. panels(6).
    virtual void set_panel_back(int index, std::int32_t colour) = 0;
    // keep_alive_panel(1..4) and TimedSlot(1..4).
    virtual SchemeSlot& keep_alive_panel(int k) = 0;
    virtual SchemeSlot& timed_panel(int k) = 0;
};

// Reads the colour text, stores it as scheme_colour and paints the window and the
// slots with it. A bad colour text throws std::invalid_argument before anything
// is changed.
void apply_colour_scheme(std::string_view text, SchemeWindow& window);

// The scheme's background colour, 0 until apply_colour_scheme has run.
std::int32_t scheme_colour();

} // namespace keeprun
