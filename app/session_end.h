#pragma once
// The session ending under keeprun: a logout or shutdown (SIGTERM, SIGHUP, or
// the session manager's save and quit requests), Ctrl+C (SIGINT), or the X
// server going away; on Windows the end of the session (WM_QUERYENDSESSION,
// WM_ENDSESSION).
#include <functional>

namespace keeprun {

// From now on runs `save` when the session ends: after one of the three signals
// or the session manager's quit request, then ends the program; when the
// session manager asks for the data, without ending; when the display is lost,
// on the way out of the exit Qt's X11 connection (or Xlib) then makes.
void save_at_session_end(std::function<void()> save);

} // namespace keeprun
