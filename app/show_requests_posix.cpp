#include "app/show_requests_platform.h"

#include <sys/stat.h>

namespace keeprun {

bool listen_for_this_user_only(QLocalServer& server, const QString& name) {
    // The socket is made without rights for others. (Qt's own option for that
    // binds in a temporary folder and renames the socket into place.)
    const mode_t old_mask = ::umask(077);
    const bool listening = server.listen(name);
    ::umask(old_mask);
    return listening;
}

// Nothing to hand on: the window manager decides which window comes forward.
void let_running_instance_come_forward() {}

} // namespace keeprun
