#pragma once
// Opens a web address in the user's browser.
#include <QString>

namespace keeprun {

// Empty: nothing happens (true). An "http://" or "https://" address is handed to
// the browser (xdg-open, or the shell on Windows) and never waited for; only a
// failed hand-over counts as a failure. Other addresses come from the network and are never opened.
// A failure shows "出现错误，未能打开下载页面" and gives false.
bool open_web_address(const QString& url);

} // namespace keeprun
