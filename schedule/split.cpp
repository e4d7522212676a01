#include "schedule/split.h"

namespace keeprun {

std::vector<std::string> split_text(std::string_view text, std::string_view sep) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(sep, from);
        parts.emplace_back(text.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos) return parts;
        from = at + sep.size();
    }
}

} // namespace keeprun
