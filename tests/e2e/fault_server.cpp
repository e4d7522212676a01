#include "fault_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace keeprun::e2e {

FaultServer::FaultServer(int port, std::string reply) : reply_(std::move(reply)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener_, 8) != 0) {
        ::close(listener_);
        throw std::runtime_error("cannot listen on port " + std::to_string(port));
    }
    thread_ = std::thread([this] { serve(); });
}

FaultServer::~FaultServer() {
    // Wakes the accept below, which then fails and ends the thread.
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
}

void FaultServer::serve() {
    for (;;) {
        const int conn = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (conn < 0) return;
        // A client that never hangs up must not hold the server forever.
        const timeval limit{5, 0};
        ::setsockopt(conn, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        // Read the request head, so the reply is not a reset before the request.
        std::string request;
        char buf[4096];
        for (ssize_t n; request.find("\r\n\r\n") == std::string::npos &&
                        (n = ::recv(conn, buf, sizeof buf, 0)) > 0;)
            request.append(buf, static_cast<std::size_t>(n));
        ::send(conn, reply_.data(), reply_.size(), MSG_NOSIGNAL);
        ::shutdown(conn, SHUT_WR);
        // Drain what the client still sends (the body), then hang up.
        while (::recv(conn, buf, sizeof buf, 0) > 0) {
        }
        ::close(conn);
        ++answered_;
    }
}

} // namespace keeprun::e2e
