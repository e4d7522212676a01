#pragma once
// The copy hot key: Ctrl held together with either 8 key, whatever window has
// the focus. The system tells of every key going down or up, so nothing asks
// it in a loop, and a tap of a few milliseconds is seen. Call from the
// user-interface thread only.
#include <functional>
#include <string>

namespace keeprun {

// Starts listening: on X11 a connection to the display (nullptr: $DISPLAY), on
// Windows a keyboard hook on this thread, whose message loop then carries the
// news. "" on success, else a message for the user; without it the keys read
// as up and nothing is told.
std::string copy_hotkey_open(const char* display_name = nullptr);
void copy_hotkey_close();

#ifdef _WIN32
// Called from this thread's message loop (never inside the hook, which must
// return at once) after the combination went down; it then asks the routines below.
void copy_hotkey_on_news(std::function<void()> news);
#else
// A descriptor that turns readable when the display has news of the keys; the
// caller's event loop watches it and then asks the routines below. -1 when closed.
int copy_hotkey_descriptor();
#endif

struct CopyKeys {
    bool ctrl = false;         // either Ctrl key
    bool eight = false;        // the 8 of the main keyboard
    bool keypad_eight = false; // the 8 of the keypad
};
// The keys as the news read so far has them.
CopyKeys copy_keys();
// Ctrl held together with either 8 key.
inline bool copy_hotkey_down() {
    const CopyKeys keys = copy_keys();
    return keys.ctrl && (keys.eight || keys.keypad_eight);
}
// Whether the combination went down since the last call (however briefly).
bool copy_hotkey_pressed();

} // namespace keeprun
