#pragma once
// Takes one request and keeps it exactly as it arrived, head and body, then
// answers "ok" (httplib drops the body of a GET).
#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <string>
#include <thread>

namespace keeprun::test {

#ifdef _WIN32
using Socket = SOCKET;
using socklen_t = int;
constexpr int kNoSignal = 0;
inline void close_socket(Socket s) {
    closesocket(s);
}
// httplib starts Winsock; a raw server may come first.
inline Socket tcp_socket() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started ? socket(AF_INET, SOCK_STREAM, 0) : INVALID_SOCKET;
}
#else
using Socket = int;
constexpr int kNoSignal = MSG_NOSIGNAL;
inline void close_socket(Socket s) {
    close(s);
}
inline Socket tcp_socket() {
    return socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
}
#endif

class RawServer {
  public:
    RawServer() {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        listen(listener_, 1);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { serve_one(); });
    }
    ~RawServer() {
        if (thread_.joinable()) thread_.join();
        close_socket(listener_);
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    // The request, once it has been answered.
    const std::string& request() {
        thread_.join();
        return request_;
    }

  private:
    void serve_one() {
        const Socket conn = accept(listener_, nullptr, nullptr);
        char buf[4096];
        std::size_t head = std::string::npos, need = 0;
        for (int n; (n = static_cast<int>(recv(conn, buf, sizeof buf, 0))) > 0;) {
            request_.append(buf, static_cast<std::size_t>(n));
            if (head == std::string::npos &&
                (head = request_.find("\r\n\r\n")) != std::string::npos) {
                const std::size_t length = request_.find("Content-Length: ");
                need = head + 4 +
                       (length < head ? std::strtoul(&request_[length + 16], nullptr, 10) : 0);
            }
            if (head != std::string::npos && request_.size() >= need) break;
        }
        const std::string reply =
            "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
        send(conn, reply.data(), static_cast<int>(reply.size()), kNoSignal);
        close_socket(conn);
    }

    Socket listener_ = tcp_socket();
    int port_ = 0;
    std::string request_;
    std::thread thread_;
};

} // namespace keeprun::test
