#pragma once
// A few Xlib requests the tests make themselves: find a window by its title and
// send it the close request a window manager would send.
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace keeprun::e2e {

struct WindowBox {
    int x = 0, y = 0, width = 0, height = 0;
};

class XDisplay {
  public:
    explicit XDisplay(const std::string& name);
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    // Mapped top-level windows whose title (UTF-8) equals `title`.
    std::vector<unsigned long> windows_named(const std::string& title);
    // Titles of all mapped top-level windows.
    std::vector<std::string> titles();
    WindowBox box(unsigned long window);
    // A WM_DELETE_WINDOW client message, as a window manager sends for the close box.
    void request_close(unsigned long window);
    // True when some client owns the selection (e.g. a tray's "_NET_SYSTEM_TRAY_S0").
    bool selection_owned(const std::string& selection);

  private:
    std::string title_of(unsigned long window);
    std::vector<unsigned long> mapped_top_levels();
    Display* display_;
};

} // namespace keeprun::e2e
