#pragma once
// A mirror that misbehaves: listens on a given port of 127.0.0.1 and answers
// every connection with the same raw bytes, then hangs up.
#include <atomic>
#include <string>
#include <thread>

namespace keeprun::e2e {

class FaultServer {
  public:
    FaultServer(int port, std::string reply);
    ~FaultServer();
    FaultServer(const FaultServer&) = delete;
    FaultServer& operator=(const FaultServer&) = delete;
    // Connections answered so far.
    int answered() const { return answered_; }

  private:
    void serve();

    std::string reply_;
    int listener_ = -1;
    std::atomic<int> answered_{0};
    std::thread thread_;
};

} // namespace keeprun::e2e
