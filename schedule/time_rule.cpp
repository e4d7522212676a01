#include "schedule/time_rule.h"

#include <vector>

#include "schedule/local_time.h"

namespace keeprun {
namespace {

struct RuleRow {
    std::string_view marker;
    bool within_hour; // compare the time within the hour, not the time of day
    std::vector<int> targets;
};

// Tried from the top; the first marker the rule contains decides.
const std::vector<RuleRow>& rule_rows() {
    static const std::vector<RuleRow> rows = {
        {"20整点重启",
         false,
         {1, 4 * 3600 + 1, 8 * 3600 + 1, 12 * 3600 + 1, 16 * 3600 + 1, 20 * 3600 + 1}},
        {"整点重启", true, {1}},
        {"半点重启", true, {1, 30 * 60 + 1}},
        {"第5分钟", true, {5 * 60 + 1}},
        {"第10分钟", true, {10 * 60 + 1}},
        {"第15分钟", true, {15 * 60 + 1}},
    };
    return rows;
}

bool within_window(int now, int target) {
    const int d = now - target;
    return d >= 0 && d <= 5;
}

} // namespace

std::optional<int> due_window(std::string_view rule, std::string_view clock) {
    const std::optional<int> now = parse_time_of_day(clock);
    if (!now) return std::nullopt;
    for (const RuleRow& row : rule_rows()) {
        if (rule.find(row.marker) == std::string_view::npos) continue;
        const int compared = row.within_hour ? *now % 3600 : *now;
        for (int target : row.targets)
            if (within_window(compared, target)) return *now - (compared - target);
        return std::nullopt;
    }
    const std::optional<int> target = parse_time_of_day(rule);
    if (target && within_window(*now, *target)) return target;
    return std::nullopt;
}

} // namespace keeprun
