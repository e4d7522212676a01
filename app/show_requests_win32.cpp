#include "app/show_requests_platform.h"

#include <windows.h>

namespace keeprun {

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
