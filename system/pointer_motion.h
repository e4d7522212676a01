#pragma once
// News of the pointer moving, so the cursor readout asks for the position
// only after a move instead of on a timer. Call from the user-interface
// thread only.
#include <string>

namespace keeprun {

// Connects to the display (nullptr: $DISPLAY). "" on success, else why the
// display cannot tell of moves; the caller then asks on a timer.
std::string pointer_motion_open(const char* display_name = nullptr);
void pointer_motion_close();
// Starts or stops the news (only while someone can see the readout).
void pointer_motion_listen(bool on);
// A descriptor that turns readable when news has arrived; the caller's event
// loop watches it and then calls pointer_moved. -1 when closed.
int pointer_motion_descriptor();
// Reads the news that has arrived: whether the pointer may have moved since
// the last call. Also true once the news has begun, so a move between asking
// for the position and the start of the news is not lost.
bool pointer_moved();

} // namespace keeprun
