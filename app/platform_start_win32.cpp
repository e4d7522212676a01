// Windows always has its desktop, and Qt picks its own platform there.
#include "app/platform_start.h"

namespace keeprun {

bool prepare_platform(std::vector<char*>&) {
    return true;
}

} // namespace keeprun
