#pragma once
// The machine's own clock and launcher reader, for the program's Ports.
#include "schedule/ports.h"

namespace keeprun {

// The local time zone's wall clock, and the machine's steady clock.
const Clock& local_clock();
// How far the local time zone is ahead of UTC now, in seconds.
int local_utc_offset_seconds();
// The system's shortcuts: a ".desktop" launcher's Exec= program, a .lnk's target.
const ShortcutReader& desktop_shortcut_reader();

} // namespace keeprun
