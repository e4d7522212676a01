#include "net/mirrors.h"

#include "net/mirror_urls.h"
#include "system/web_address.h"

namespace keeprun {

const MirrorUrls& mirror_base_urls() {
    static const MirrorUrls urls{KEEPRUN_MIRROR_1, KEEPRUN_MIRROR_2, KEEPRUN_MIRROR_3};
    return urls;
}

bool all_on_this_machine(const MirrorUrls& urls) {
    for (const std::string& url : urls) {
        const auto address = parse_web_address(url);
        if (!address || !is_local_host(address->host)) return false;
    }
    return true;
}

} // namespace keeprun
