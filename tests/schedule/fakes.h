#pragma once
// Fakes of the engine's ports and a rig that ticks a session on a fake clock,
// 500 ms apart, as the program's timer does.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "schedule/session.h"

namespace keeprun::testing {

inline constexpr const char* kHint = "鼠标按住桌面或文件夹中的程序不松手，拖入此方框";

class FakeClock final : public Clock {
  public:
    explicit FakeClock(LocalTime start, int start_ms = 0)
        : ms_(serial_seconds(start) * 1000 + start_ms), steady_ms_(ms_) {}
    LocalTime now() const override { return local_time_from_serial(ms_ / 1000); }
    std::int64_t steady_seconds() const override { return steady_ms_ / 1000; }
    std::int64_t ms() const { return ms_; }
    std::int64_t steady_ms() const { return steady_ms_; }
    void advance(std::int64_t ms) { ms_ += ms, steady_ms_ += ms; }
    // The wall clock set by hand, by NTP or for summer time; time itself goes on.
    void set_wall(std::int64_t step_ms) { ms_ += step_ms; }

  private:
    std::int64_t ms_;
    std::int64_t steady_ms_;
};

class FakeFiles final : public FileStatus {
  public:
    FileInfo status(std::string_view path) const override {
        const auto it = files.find(std::string(path));
        return it == files.end() ? FileInfo{} : it->second;
    }
    void add_program(const std::string& path) { files[path] = {true, true, true}; }
    void add_document(const std::string& path) { files[path] = {true, true, false}; }
    void add_folder(const std::string& path) { files[path] = {true, false, false}; }
    std::map<std::string, FileInfo> files;
};

struct Event {
    std::string what; // "open", "failed open", "close", "click"
    std::string argument;
    std::int64_t ms;
    std::int64_t steady_ms;
};

// Processes, clicks and record lines, all logged against the fake clock.
class FakeWorld final : public ProcessControl,
                        public WindowPing,
                        public Clicker,
                        public SessionListener {
  public:
    explicit FakeWorld(const FakeClock& clock) : clock_(clock) {}

    bool is_running(const std::string& path, const ExeAliasTable& table) override {
        ++checks;
        aliases = table;
        if (path == throw_for) throw std::runtime_error("process list unavailable");
        return running.contains(path);
    }
    StartOutcome open(const std::string& path, const StartSettings& how) override {
        if (path == throw_for) throw std::runtime_error("cannot start");
        if (starts_pending) return StartOutcome::pending;
        const bool fails = failing.contains(path);
        events.push_back({fails ? "failed open" : "open", path, clock_.ms(), clock_.steady_ms()});
        started_with = how;
        if (fails) return StartOutcome::failed;
        if (!exits_at_once.contains(path)) running.insert(path);
        return StartOutcome::started;
    }
    void close(const std::string& path) override {
        running.erase(path);
        events.push_back({"close", path, clock_.ms(), clock_.steady_ms()});
    }
    void end_pinned(const std::string& path) override {
        running.erase(path);
        events.push_back({"end", path, clock_.ms(), clock_.steady_ms()});
    }
    bool end_if_crashed(const std::string& path) override {
        if (!crashed.erase(path)) return false;
        running.erase(path);
        events.push_back({"end crashed", path, clock_.ms(), clock_.steady_ms()});
        return true;
    }
    // A ping is answered as the program was when it was sent.
    PingReply reply(const std::string& path) override {
        const auto it = pinged.find(path);
        return it == pinged.end() ? PingReply::not_asked : it->second;
    }
    void ping(const std::string& path) override {
        ++pings;
        const auto it = replies.find(path);
        pinged[path] = it == replies.end() ? PingReply::not_asked : it->second;
    }
    bool desktop_takes_input() override { return !desktop_locked; }
    bool click(const std::string& position) override {
        events.push_back({"click", position, clock_.ms(), clock_.steady_ms()});
        if (during_click) during_click();
        return !clicks_refused;
    }
    void record_line_added(const std::string& line) override { lines.push_back(line); }
    void slot_event(const SlotEvent& e) override {
        if (e.kind == SlotEventKind::open_failed) failed_slots.push_back(e.slot_number);
    }

    std::vector<Event> of(const std::string& what) const {
        std::vector<Event> out;
        for (const Event& e : events)
            if (e.what == what) out.push_back(e);
        return out;
    }

    std::set<std::string> running;
    int checks = 0; // is_running calls: each may walk every process
    std::vector<Event> events;
    std::vector<std::string> lines;
    std::map<std::string, PingReply> replies; // what the windows would make of a ping now
    std::map<std::string, PingReply> pinged;  // what they made of the last one
    std::set<std::string> crashed;            // held by a crash dialog
    std::set<std::string> exits_at_once;      // started, and gone before the next look
    int pings = 0;
    ExeAliasTable aliases; // as the last running check was given them
    std::string throw_for;
    std::set<std::string> failing; // starts of these fail
    bool starts_pending = false;   // every start waits (for an elevation prompt)
    StartSettings started_with;    // as the last start was given them
    std::vector<int> failed_slots;
    std::function<void()> during_click;
    bool desktop_locked = false; // the screen is locked or the session disconnected
    bool clicks_refused = false; // the system refuses every click

  private:
    const FakeClock& clock_;
};

class FakeShortcuts final : public ShortcutReader {
  public:
    std::optional<Shortcut> read(std::string_view path) const override {
        const auto it = shortcuts.find(std::string(path));
        return it == shortcuts.end() ? std::nullopt : std::optional<Shortcut>(it->second);
    }
    std::map<std::string, Shortcut> shortcuts; // a missing entry cannot be read
};

struct Rig {
    explicit Rig(LocalTime start = {2026, 12, 8, 12, 0, 0}, int start_ms = 0,
                 FileRules rules = FileRules::posix)
        : clock(start, start_ms), world(clock),
          session({clock, files, world, world, world, shortcuts, rules}),
          master(session.master_switch()) {
        session.add_listener(world);
        for (int k = 1; k <= 4; ++k) {
            master.first(k).setup(k, kHint);
            master.second(k).setup(k + 4, kHint);
        }
        master.master_init();
        master.set_startup_done();
    }

    // One tick, then the clock moves on to the next one.
    void tick() {
        master.master_tick();
        clock.advance(500);
    }
    void run_for_seconds(std::int64_t s) {
        for (std::int64_t i = 0; i < s * 2; ++i)
            tick();
    }
    // Ticks until `done` holds; false when it did not within `limit_s` simulated seconds.
    bool run_until(const std::function<bool()>& done, std::int64_t limit_s) {
        for (std::int64_t i = 0; i < limit_s * 2; ++i) {
            if (done()) return true;
            tick();
        }
        return done();
    }

    FakeClock clock;
    FakeFiles files;
    FakeWorld world;
    FakeShortcuts shortcuts;
    Session session;
    MasterSwitch& master;
};

} // namespace keeprun::testing
