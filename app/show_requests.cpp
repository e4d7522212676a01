#include "app/show_requests.h"

#include "system/single_instance.h"

#include <QLocalSocket>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace keeprun {
namespace {

// The lock's folder and name with another ending.
QString socket_path() {
    std::string path = instance_lock_path();
    if (path.ends_with(".lock")) path.resize(path.size() - 5);
    return QString::fromStdString(path + ".socket");
}

constexpr char kShow[] = "show\n";

} // namespace

bool ShowRequests::listen_for_this_user_only() {
#ifdef _WIN32
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    return server_.listen(socket_path());
#else
    // The socket is made without rights for others. (Qt's own option for that
    // binds in a temporary folder and renames the socket into place.)
    const mode_t old_mask = ::umask(077);
    const bool listening = server_.listen(socket_path());
    ::umask(old_mask);
    return listening;
#endif
}

void ShowRequests::listen(std::function<void()> show) {
    show_ = std::move(show);
    QLocalServer::removeServer(socket_path());
    if (!listen_for_this_user_only()) return;
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] {
        while (QLocalSocket* peer = server_.nextPendingConnection()) {
            QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            QObject::connect(peer, &QLocalSocket::readyRead, peer, [this, peer] {
                if (!peer->canReadLine()) return;
                if (peer->readLine() == kShow) show_();
                peer->disconnectFromServer();
            });
        }
    });
}

void ask_running_instance_to_show() {
#ifdef _WIN32
    // Windows gives the foreground only to the program the user just started:
    // this one hands it on to the running keeprun.
    AllowSetForegroundWindow(ASFW_ANY);
#endif
    QLocalSocket socket;
    socket.connectToServer(socket_path());
    if (!socket.waitForConnected(1000)) return;
    socket.write(kShow);
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
}

} // namespace keeprun
