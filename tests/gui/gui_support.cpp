#include "gui_support.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

namespace keeprun::testing {

ShownBox catch_message_box(const std::function<void()>& action) {
    ShownBox seen;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen = {true, box->windowTitle(), box->text(), box->standardButton(box->defaultButton())};
        box->done(0);
    });
    watcher.start();
    action();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return seen;
}

} // namespace keeprun::testing
