#include "app/window_title.h"

#include <QWidget>
#include <windows.h>

namespace keeprun {

void set_window_title(QWidget* window, const QString& title) {
    window->setWindowTitle(title);
    if (!title.isEmpty()) return;
    // Qt names a window made without a title after the program: make it now,
    // then clear that name.
    SetWindowTextW(reinterpret_cast<HWND>(window->winId()), L"");
}

} // namespace keeprun
