#pragma once
// An HTTP server on 127.0.0.1 for tests: routes first, then start().
#include <httplib.h>

#include <string>
#include <thread>

namespace keeprun::test {

class HttpServer {
  public:
    ~HttpServer() {
        server_.stop();
        if (thread_.joinable()) thread_.join();
    }
    httplib::Server& routes() { return server_; }
    void start() {
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

  private:
    httplib::Server server_;
    int port_ = server_.bind_to_any_port("127.0.0.1");
    std::thread thread_;
};

} // namespace keeprun::test
