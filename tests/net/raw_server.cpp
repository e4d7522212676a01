#include "raw_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace keeprun::test {
namespace {

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

RawRequest parse(const std::string& head) {
    RawRequest r;
    std::size_t pos = head.find("\r\n");
    r.line = head.substr(0, pos);
    while (pos != std::string::npos && pos + 2 < head.size()) {
        const std::size_t start = pos + 2;
        pos = head.find("\r\n", start);
        const std::string line = head.substr(start, pos - start);
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::size_t v = colon + 1;
        while (v < line.size() && line[v] == ' ')
            ++v;
        r.headers.emplace_back(lower(line.substr(0, colon)), line.substr(v));
    }
    return r;
}

} // namespace

const std::string* RawRequest::header(const std::string& lower_name) const {
    for (const auto& [name, value] : headers)
        if (name == lower_name) return &value;
    return nullptr;
}

RawServer::RawServer(std::string reply) : reply_(std::move(reply)) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(listener_, 8) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        throw std::runtime_error("raw server cannot listen");
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { serve(); });
}

RawServer::~RawServer() {
    stopping_ = true;
    thread_.join();
    close(listener_);
}

std::string RawServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<RawRequest> RawServer::requests() {
    std::lock_guard lock(m_);
    return requests_;
}

void RawServer::serve() {
    while (!stopping_) {
        pollfd p{listener_, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        const int conn = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (conn < 0) continue;
        std::string data;
        char buf[4096];
        std::size_t head_end = std::string::npos;
        std::size_t need = 0;
        for (;;) {
            const ssize_t n = recv(conn, buf, sizeof buf, 0);
            if (n <= 0) break;
            data.append(buf, static_cast<std::size_t>(n));
            if (head_end == std::string::npos &&
                (head_end = data.find("\r\n\r\n")) != std::string::npos) {
                const RawRequest r = parse(data.substr(0, head_end + 2));
                const std::string* length = r.header("content-length");
                need = head_end + 4 + (length ? std::strtoul(length->c_str(), nullptr, 10) : 0);
            }
            if (head_end != std::string::npos && data.size() >= need) break;
        }
        if (head_end != std::string::npos) {
            RawRequest r = parse(data.substr(0, head_end + 2));
            r.body = data.substr(head_end + 4);
            {
                std::lock_guard lock(m_);
                requests_.push_back(std::move(r));
            }
            send(conn, reply_.data(), reply_.size(), MSG_NOSIGNAL);
        }
        close(conn);
    }
}

} // namespace keeprun::test
