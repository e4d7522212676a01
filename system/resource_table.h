#pragma once
// The compiled-in resources of type "CUSTOM" (generated from resources/).
#include <cstddef>
#include <string_view>

namespace keeprun {

struct ResourceEntry {
    int id;
    const char* name;
    std::string_view data;
};

extern const ResourceEntry kResources[];
extern const std::size_t kResourceCount;

} // namespace keeprun
