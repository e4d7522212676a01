#include "net/mirrors.h"

#include "net/mirror_urls.h"

namespace keeprun {

const MirrorUrls& mirror_base_urls() {
    static const MirrorUrls urls{KEEPRUN_MIRROR_1, KEEPRUN_MIRROR_2, KEEPRUN_MIRROR_3};
    return urls;
}

} // namespace keeprun
