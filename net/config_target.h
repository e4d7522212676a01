#pragma once
// What the server configuration sets on the main window, in the order it is
// applied. The main window implements it.
#include <cstdint>
#include <string>

#include "system/exe_alias.h"

namespace keeprun {

class ConfigTarget {
  public:
    virtual ~ConfigTarget() = default;
    // "[caption]": the main window's caption.
    virtual void set_caption(const std::string& caption) = 0;
    // "[address]": the main window's Tag, the link opened on a confirmed close (may be "").
    virtual void set_exit_link(const std::string& address) = 0;
    // "[kf1]".."[kf3]": caption and Tag of links(index), index 1..3.
    virtual void set_link(int index, const std::string& caption, const std::string& address) = 0;
    // "[zdy1]".."[zdy5]": caption and Tag of vendor_buttons(index), index 1..5.
    virtual void set_custom_button(int index, const std::string& caption,
                                   const std::string& address) = 0;
    // "[peise]", only when present: the colour scheme's background text for
    // apply_colour_scheme, already known to be a colour (colour_text_value).
    virtual void set_background(const std::string& colour_text) = 0;
    // "[exe]": the program aliases the running check uses.
    virtual void set_program_aliases(const ExeAliasTable& aliases) = 0;
};

} // namespace keeprun
