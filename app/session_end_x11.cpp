#include "app/session_end.h"

#include "app/end_program.h"

#include <QGuiApplication>
#include <QSessionManager>
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

// A session manager (XSMP) ends the session by asking for the data, then for the
// program to quit, which Qt passes on as a Quit event to the application.
class QuitRequests : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == qApp && event->type() == QEvent::Quit) {
            run_saver_once();
            end_program();
        }
        return false;
    }
};

} // namespace

void save_at_session_end(std::function<void()> save) {
    saver = std::move(save);
    std::atexit(run_saver_once);
    // keeprun starts at login through its own autostart entry; a restored
    // session starting it too would only meet the refused second instance.
    // Either request may come alone, so both say so.
    const auto never_restart = [](QSessionManager& manager) {
        manager.setRestartHint(QSessionManager::RestartNever);
    };
    QObject::connect(qGuiApp, &QGuiApplication::saveStateRequest, never_restart);
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest,
                     [never_restart](QSessionManager& manager) {
                         never_restart(manager);
                         if (saver) saver();
                     });
    static QuitRequests quit_requests;
    qApp->installEventFilter(&quit_requests);
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
