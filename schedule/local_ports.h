#pragma once
// The machine's own clock and launcher reader, for the program's Ports.
#include "schedule/ports.h"

namespace keeprun {

// The local time zone's wall clock, and the machine's steady clock.
const Clock& local_clock();
// ".desktop" launchers: the program of their Exec= line, looked up in $PATH.
const ShortcutReader& desktop_shortcut_reader();

} // namespace keeprun
