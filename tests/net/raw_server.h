#pragma once
// A one-thread HTTP server for tests that must see the request exactly as it
// arrives on the wire: it reads each request whole (head and body) and answers
// with a fixed reply.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace keeprun::test {

struct RawRequest {
    std::string line;                                         // "GET /x HTTP/1.1"
    std::vector<std::pair<std::string, std::string>> headers; // names lower case
    std::string body;
    // The value of a header, or nullptr when absent.
    const std::string* header(const std::string& lower_name) const;
};

class RawServer {
  public:
    explicit RawServer(std::string reply);
    ~RawServer();
    std::string url(const std::string& path) const;
    // The requests received so far.
    std::vector<RawRequest> requests();

  private:
    void serve();
    std::string reply_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::mutex m_;
    std::vector<RawRequest> requests_;
    std::thread thread_;
};

} // namespace keeprun::test
