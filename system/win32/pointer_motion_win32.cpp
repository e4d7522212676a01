// No news of pointer moves is taken on Windows: the cursor readout asks for
// the position on its timer, as on a display without the record extension.
#include "system/pointer_motion.h"

namespace keeprun {

std::string pointer_motion_open(const char*) {
    return "";
}

void pointer_motion_close() {}

void pointer_motion_listen(bool) {}

int pointer_motion_descriptor() {
    return -1;
}

bool pointer_moved() {
    return false;
}

} // namespace keeprun
