#pragma once
// Takes one request and keeps it exactly as it arrived, head and body, then
// answers "ok" (httplib drops the body of a GET).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <thread>

namespace keeprun::test {

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
        close(listener_);
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
        const int conn = accept(listener_, nullptr, nullptr);
        char buf[4096];
        std::size_t head = std::string::npos, need = 0;
        for (ssize_t n; (n = recv(conn, buf, sizeof buf, 0)) > 0;) {
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
        send(conn, reply.data(), reply.size(), MSG_NOSIGNAL);
        close(conn);
    }

    int listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int port_ = 0;
    std::string request_;
    std::thread thread_;
};

} // namespace keeprun::test
