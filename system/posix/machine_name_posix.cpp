#include "system/machine_name.h"

#include <unistd.h>

#include <climits>

namespace keeprun {

std::string machine_name() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

} // namespace keeprun
