#include "app/show_requests_platform.h"

#include <windows.h>

namespace keeprun {

// Pipe names are machine-wide, unlike the session's mutex: two users of one
// PC (fast user switching) each get their own through the session's number.
QString show_channel_name(const std::string& instance_lock_path) {
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return QString::fromStdString(instance_lock_path + "-" + std::to_string(session) + ".socket");
}

bool listen_for_this_user_only(QLocalServer& server, const QString& name) {
    server.setSocketOptions(QLocalServer::UserAccessOption);
    return server.listen(name);
}

void let_running_instance_come_forward() {
    // Windows gives the foreground only to the program the user just started:
    // this one hands it on to the running keeprun.
    AllowSetForegroundWindow(ASFW_ANY);
}

} // namespace keeprun
