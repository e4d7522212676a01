#pragma once
// The colour scheme: one background colour from the server, painted on the main
// window and every slot. The window and the slot panels implement the two
// interfaces; d_底色更改 calls them in a fixed order.
#include <cstdint>
#include <string_view>

namespace keeprun {

// A slot panel: takes the background colour.
class SchemeSlot {
  public:
    virtual ~SchemeSlot() = default;
    virtual void a_set_ys(std::int32_t ys) = 0;
};

// The main window's parts that carry the background colour.
class SchemeWindow {
  public:
    virtual ~SchemeWindow() = default;
    virtual void set_form_back(std::int32_t ys) = 0;
    // Check_sx(0), the start-minimised option.
    virtual void set_check_sx_back(std::int32_t ys) = 0;
    // Picdi(0) .. Picdi(6).
    virtual void set_picdi_back(int index, std::int32_t ys) = 0;
    // ucf_fa1(1..4) and ucf_fa2(1..4).
    virtual SchemeSlot& ucf_fa1(int k) = 0;
    virtual SchemeSlot& ucf_fa2(int k) = 0;
};

// Reads the colour text, stores it as dise_yanse and paints the window and the
// slots with it. A bad colour text throws std::invalid_argument before anything
// is changed.
void d_底色更改(std::string_view text, SchemeWindow& window);

// The scheme's background colour, 0 until d_底色更改 has run.
std::int32_t dise_yanse();

} // namespace keeprun
