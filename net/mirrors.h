#pragma once
// The vendor's server: three mirrors, asked at the same time at every start.
#include <array>
#include <string>

namespace keeprun {

using MirrorUrls = std::array<std::string, 3>;

// The compiled-in base URLs of the first, second and third mirror, each ending in "/".
const MirrorUrls& mirror_base_urls();

} // namespace keeprun
