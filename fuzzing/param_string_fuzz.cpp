// A slot's parameter string over any stored text, in both slot kinds: the
// settings it gives survive a save and a load, and the slots then run their
// cycles on a fake clock without fault (a step that throws is a finding too).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzzing/support.h"
#include "schedule/keep_alive_slot.h"
#include "schedule/split.h"
#include "schedule/timed_slot.h"
#include "system/mouse.h"
#include "system/text.h"

using keeprun::fuzz::require;

namespace {

class World final : public keeprun::Clock,
                    public keeprun::FileStatus,
                    public keeprun::ProcessControl,
                    public keeprun::WindowPing,
                    public keeprun::Clicker,
                    public keeprun::SlotEvents,
                    public keeprun::MessageBoxFlag,
                    public keeprun::ShortcutReader {
  public:
    // A minute before a full hour, so the hourly rules come due.
    std::int64_t ms = keeprun::serial_seconds({2026, 3, 1, 13, 59, 0}) * 1000;

    keeprun::LocalTime now() const override { return keeprun::local_time_from_serial(ms / 1000); }
    std::int64_t steady_seconds() const override { return ms / 1000; }
    // Every path names a program; none of them stays running.
    keeprun::FileInfo status(std::string_view) const override { return {true, true, true}; }
    bool is_running(const std::string&, const keeprun::ExeAliasTable&) override { return false; }
    keeprun::StartOutcome open(const std::string& path, const keeprun::StartSettings&) override {
        close(path);
        return keeprun::StartOutcome::started;
    }
    void close(const std::string& path) override {
        require(!path.empty() && path.front() != ' ' && path.back() != ' ',
                "a trimmed path is opened or closed");
    }
    bool desktop_takes_input() override { return true; }
    bool click(const std::string& position) override {
        require(position.find('*') != std::string::npos &&
                    position.find_first_not_of("0123456789*-") == std::string::npos &&
                    keeprun::parse_coordinate(position),
                "clicks only at a point of digits, signs and \"*\"");
        return true;
    }
    void slot_event(const keeprun::SlotEvent& event) override {
        require(event.line.size() > 9 && event.line[2] == ':' && event.line[5] == ':',
                "a record line with a time");
    }
    void end_pinned(const std::string& path) override { close(path); }
    bool end_if_crashed(const std::string&) override { return false; }
    keeprun::PingReply reply(const std::string&) override { return keeprun::PingReply::silent; }
    void ping(const std::string& path) override { close(path); }
    bool is_open() const override { return false; }
    std::optional<keeprun::Shortcut> read(std::string_view) const override { return std::nullopt; }
};

void round_trip(keeprun::Slot& slot, std::string_view stored) {
    slot.apply_param_string(stored);
    const std::string once = slot.to_param_string();
    slot.apply_param_string(once);
    require(slot.to_param_string() == once, "a parameter string restores its settings");
    slot.refresh_marks();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::string> rule_lines =
        keeprun::split_text(keeprun::custom_resource_text("SHIJIAN", 2), "\r\n");
    const std::string_view stored(reinterpret_cast<const char*>(data), size);
    World world;
    static const keeprun::ExeAliasTable no_aliases;
    static const keeprun::SlotPolicy policy;
    const keeprun::Ports ports{world,
                               world,
                               world,
                               world,
                               world,
                               world,
                               world,
                               world,
                               no_aliases,
                               policy,
                               keeprun::FileRules::posix};
    keeprun::KeepAliveSlot first(ports);
    keeprun::TimedSlot second(ports);
    first.setup(1, "");
    second.setup(5, "");
    second.setup_rule_lists(rule_lines, 6);
    round_trip(first, stored);
    round_trip(second, stored);

    // Two simulated minutes across a full hour, one tick every 500 ms.
    for (int tick = 0; tick < 240; ++tick, world.ms += 500) {
        first.tick();
        second.tick();
    }
    return 0;
}
