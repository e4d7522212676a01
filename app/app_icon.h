#pragma once
// The program's icon for its windows and the tray.
#include <QIcon>

namespace keeprun {

// The installed icon theme's picture, else the one compiled in.
QIcon app_icon();

} // namespace keeprun
