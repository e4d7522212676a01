#pragma once
// A window title that is exactly what it is given.
#include <QString>

class QWidget;

namespace keeprun {

// Sets the title of the top-level `window`. An empty title stays empty on the
// screen, where Qt would show the program's name instead.
void set_window_title(QWidget* window, const QString& title);

} // namespace keeprun
