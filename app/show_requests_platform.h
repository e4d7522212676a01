#pragma once
// The parts of ShowRequests that differ between systems: show_requests_posix.cpp
// and show_requests_win32.cpp.
#include <QLocalServer>
#include <QString>

#include <string>

namespace keeprun {

// The name of the show requests' channel of this login session.
QString show_channel_name(const std::string& instance_lock_path);
// Listens at `name` so that only processes of this user can connect.
bool listen_for_this_user_only(QLocalServer& server, const QString& name);
// Lets the running keeprun bring its window to the foreground when this
// process asks it to show.
void let_running_instance_come_forward();

} // namespace keeprun
