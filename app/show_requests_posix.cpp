#include "app/show_requests_platform.h"

#include <sys/stat.h>

namespace keeprun {

// The lock's folder and name with another ending: the lock is the session's already.
QString show_channel_name(const std::string& instance_lock_path) {
    std::string path = instance_lock_path;
    if (path.ends_with(".lock")) path.resize(path.size() - 5);
    return QString::fromStdString(path + ".socket");
}

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
