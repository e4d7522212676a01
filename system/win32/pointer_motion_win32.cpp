#include "system/pointer_motion.h"

namespace keeprun {

// Windows tells of pointer moves only the window under the pointer, so the
// readout asks for the position on its timer, as the program always has there.
std::string pointer_motion_open(const char*) {
    return {};
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
