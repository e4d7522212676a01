#include "app/session_end.h"

#include "app/end_program.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <utility>
#include <windows.h>

namespace keeprun {
namespace {

// Windows asks every top-level window whether the session may end, then tells
// them it ends. Qt would answer the question by closing the windows, which
// here asks the user; keeprun always agrees and saves when the end comes.
class SessionEndFilter : public QAbstractNativeEventFilter {
  public:
    std::function<void()> save;

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override {
        if (type != "windows_generic_MSG") return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message == WM_QUERYENDSESSION) {
            *result = TRUE;
            return true;
        }
        if (msg->message == WM_ENDSESSION && msg->wParam) {
            if (save) std::exchange(save, nullptr)();
            end_program();
        }
        return false;
    }
};

} // namespace

void save_at_session_end(std::function<void()> save) {
    static SessionEndFilter filter;
    filter.save = std::move(save);
    QCoreApplication::instance()->installNativeEventFilter(&filter);
}

} // namespace keeprun
