// keeprun-mirror: a stand-in for the vendor's server, three mirrors on one machine.
#include <httplib.h>

#include <pthread.h>
#include <signal.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

#include "net/mirrors.h"
#include "tools/mirror/options.h"

namespace keeprun {
namespace {

// Lets answer delays end early when the mirror is stopped.
class StopSignal {
  public:
    // True when the full delay passed, false when stopped first.
    bool wait(double seconds) {
        std::unique_lock lock(m_);
        return !cv_.wait_for(lock, std::chrono::duration<double>(seconds),
                             [&] { return stopped_; });
    }
    void stop() {
        std::lock_guard lock(m_);
        stopped_ = true;
        cv_.notify_all();
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    bool stopped_ = false;
};

std::string time_stamp() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

bool read_file(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

class Mirrors {
  public:
    explicit Mirrors(MirrorOptions opt) : opt_(std::move(opt)) {}

    // Binds every answering mirror and starts serving; false when one cannot listen.
    bool start() {
        for (std::size_t k = 0; k < 3; ++k) {
            if (!opt_.answers[k]) {
                std::cout << "mirror " << k + 1 << ": not listening" << std::endl;
                continue;
            }
            auto server = std::make_unique<httplib::Server>();
            // httplib's default shares the port with any other listener (SO_REUSEPORT);
            // only a port left in TIME_WAIT may be taken again.
            server->set_socket_options([](int sock) {
                const int yes = 1;
                setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
            });
            route(*server, k);
            const int port =
                opt_.ports[k] == 0
                    ? server->bind_to_any_port(opt_.host)
                    : (server->bind_to_port(opt_.host, opt_.ports[k]) ? opt_.ports[k] : -1);
            if (port < 0) {
                std::cerr << "mirror " << k + 1 << ": cannot listen on " << opt_.host << ":"
                          << opt_.ports[k] << "\n";
                return false;
            }
            if (!std::ifstream(list_path(k)))
                std::cerr << "mirror " << k + 1 << ": " << list_path(k)
                          << " cannot be read; list.txt is answered with 404\n";
            std::cout << "mirror " << k + 1 << ": http://" << opt_.host << ":" << port
                      << (k == 0 ? "/m/zx/" : "/zx/") << " serving " << list_path(k) << " after "
                      << opt_.delays[k] << " s" << std::endl;
            httplib::Server* s = server.get();
            servers_.push_back(std::move(server));
            threads_.emplace_back([s] { s->listen_after_bind(); });
        }
        return true;
    }

    void stop() {
        stop_.stop();
        for (auto& s : servers_)
            s->stop();
        for (auto& t : threads_)
            t.join();
    }

  private:
    std::string list_path(std::size_t k) const {
        if (opt_.lists[k].empty()) return opt_.dir + "/list.txt";
        return opt_.lists[k].front() == '/' ? opt_.lists[k] : opt_.dir + "/" + opt_.lists[k];
    }

    void route(httplib::Server& server, std::size_t k) {
        const auto list = [this, k](const httplib::Request&, httplib::Response& res) {
            if (!stop_.wait(opt_.delays[k])) {
                res.status = 503;
                return;
            }
            std::string body;
            if (!read_file(list_path(k), body)) {
                res.status = 404;
                return;
            }
            res.set_content(body, "text/plain; charset=gbk");
        };
        const auto report = [this, k](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard lock(log_mutex_);
                std::ofstream log(opt_.dir + "/ip.log", std::ios::app | std::ios::binary);
                log << time_stamp() << " mirror " << k + 1 << " " << req.body << "\n";
            }
            res.set_content("ok", "text/plain");
        };
        const auto hook = [this, k](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard lock(log_mutex_);
                std::ofstream log(opt_.dir + "/hook.log", std::ios::app | std::ios::binary);
                log << time_stamp() << " mirror " << k + 1 << " " << req.target << " " << req.body
                    << "\n";
            }
            if (!stop_.wait(opt_.hook_delay)) {
                res.status = 503;
                return;
            }
            res.set_content(opt_.hook_error.empty()
                                ? R"({"errcode":0,"errmsg":"ok"})"
                                : R"({"errcode":310000,"errmsg":")" + opt_.hook_error + "\"}",
                            "application/json");
        };
        server.Post(R"(/hook(/.*)?)", hook);
        for (const char* base : {"/m/zx/", "/zx/"}) {
            server.Get(std::string(base) + "list.txt", list);
            server.Post(std::string(base) + "ip.asp", report);
        }
        server.set_logger([k](const httplib::Request& req, const httplib::Response& res) {
            std::cout << time_stamp() << " mirror " << k + 1 << ": " << req.method << " "
                      << req.path << " -> " << res.status << std::endl;
        });
    }

    MirrorOptions opt_;
    StopSignal stop_;
    std::mutex log_mutex_;
    std::vector<std::unique_ptr<httplib::Server>> servers_;
    std::vector<std::thread> threads_;
};

// An installed mirror finds its sample beside its program's folder; a built one
// in the build folder.
std::string sample_dir() {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path installed =
        fs::read_symlink("/proc/self/exe", ec).parent_path() / KEEPRUN_MIRROR_INSTALLED_DIR;
    if (!ec && fs::is_regular_file(installed / "list.txt", ec)) return installed.lexically_normal();
    return KEEPRUN_MIRROR_DIR;
}

MirrorOptions defaults() {
    MirrorOptions opt;
    opt.dir = sample_dir();
    for (std::size_t k = 0; k < 3; ++k)
        opt.ports[k] = url_port(mirror_base_urls()[k]);
    return opt;
}

} // namespace
} // namespace keeprun

int main(int argc, char** argv) {
    using namespace keeprun;
    MirrorOptions opt = defaults();
    std::string error;
    if (!parse_mirror_options(argc, argv, opt, error)) {
        std::cerr << "keeprun-mirror: " << error << "\n\n" << mirror_usage(defaults());
        return 2;
    }
    if (opt.help) {
        std::cout << mirror_usage(defaults());
        return 0;
    }

    // Signals are taken by sigwait below, never by a server thread.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    // With --down-for the caller hears "ready" at once, and the mirrors listen
    // only after the wait, which a stop signal ends.
    const bool down = opt.down_for > 0;
    if (down) std::cout << "ready" << std::endl;
    const timespec down_for{
        static_cast<time_t>(opt.down_for),
        static_cast<long>((opt.down_for - static_cast<time_t>(opt.down_for)) * 1e9)};
    if (down && sigtimedwait(&stop_signals, nullptr, &down_for) > 0) return 0;
    Mirrors mirrors(opt);
    const bool started = mirrors.start();
    if (started) {
        if (!down) std::cout << "ready" << std::endl;
        int sig = 0;
        sigwait(&stop_signals, &sig);
    }
    mirrors.stop();
    return started ? 0 : 1;
}
