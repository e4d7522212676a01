#pragma once
// The vendor's server: three mirrors, asked at the same time at every start.
#include <array>
#include <string>

namespace keeprun {

using MirrorUrls = std::array<std::string, 3>;

// The compiled-in base URLs of the first, second and third mirror, each ending in "/".
const MirrorUrls& mirror_base_urls();
// True when every mirror is on this machine (127.0.0.1, localhost): a development
// build, which any user of the machine who takes those ports first can serve.
bool all_on_this_machine(const MirrorUrls& urls);

} // namespace keeprun
