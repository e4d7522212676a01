#pragma once
// The copy hot key: Ctrl held together with either 8 key, whatever window has
// the focus. The system tells of every key going down or up, so nothing asks
// it in a loop, and a tap of a few milliseconds is seen. Call from the
// user-interface thread only.
#include <functional>
#include <string>

namespace keeprun {

// Starts listening: on X11 a connection to the display (nullptr: $DISPLAY), on
// Windows a keyboard hook on a thread of its own, which tells this thread's
// message loop. "" on success, else a message for the user; without it the keys read
// as up and nothing is told.
std::string copy_hotkey_open(const char* display_name = nullptr);
void copy_hotkey_close();

// The caller's event loop watching a descriptor: `readable` runs each time
// the descriptor turns readable.
using WatchDescriptor = std::function<void(int descriptor, std::function<void()> readable)>;
// Has `news` run from this thread's event loop when the keys may have changed;
// it then asks the routines below. On X11 the display's connection tells, and
// `watch` puts it in the loop (not while closed); on Windows the hook posts a
// message after the combination went down, and `news` runs when the loop
// reaches it (never inside the hook, which must return at once).
void copy_hotkey_on_news(std::function<void()> news, const WatchDescriptor& watch);

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
