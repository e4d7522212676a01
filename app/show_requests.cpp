#include "app/show_requests.h"

#include "app/show_requests_platform.h"
#include "system/single_instance.h"

#include <QLocalSocket>

namespace keeprun {
namespace {

QString socket_path() {
    const std::string path = instance_lock_path();
    // No private folder for the lock: no channel either.
    return path.empty() ? QString() : show_channel_name(path);
}

constexpr char kShow[] = "show\n";

} // namespace

void ShowRequests::listen(std::function<void()> show) {
    show_ = std::move(show);
    QLocalServer::removeServer(socket_path());
    if (!listen_for_this_user_only(server_, socket_path())) return;
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
    let_running_instance_come_forward();
    QLocalSocket socket;
    socket.connectToServer(socket_path());
    if (!socket.waitForConnected(1000)) return;
    socket.write(kShow);
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
}

} // namespace keeprun
