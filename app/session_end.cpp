#include "app/session_end.h"

#include "app/end_program.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace keeprun {
namespace {

int signal_pipe[2] = {-1, -1};
std::function<void()> saver;

// Only a byte into the pipe: the event loop does the rest.
void on_signal(int) {
    const int saved_errno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signal_pipe[1], &byte, 1);
    errno = saved_errno;
}

// Qt and Xlib call exit() when the X server connection breaks.
void run_saver_once() {
    if (saver) std::exchange(saver, nullptr)();
}

} // namespace

void save_at_session_end(std::function<void()> save) {
    saver = std::move(save);
    std::atexit(run_saver_once);
    if (::pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier =
        new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        run_saver_once();
        end_program();
    });
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}

} // namespace keeprun
