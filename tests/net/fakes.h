#pragma once
// Fakes for the network step: settings store, window, clock and mirror fetchers.
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "net/config_target.h"
#include "net/page_fetcher.h"
#include "system/colour_text.h"
#include "system/delay.h"
#include "system/settings_store.h"

namespace keeprun::test {

class FakeStore : public SettingsStore {
  public:
    std::string get(std::string_view app, std::string_view section, std::string_view key) override {
        const auto it = values.find({std::string(app), std::string(section), std::string(key)});
        return it == values.end() ? "" : it->second;
    }
    bool save(std::string_view app, std::string_view section, std::string_view key,
              std::string_view value) override {
        ++saves;
        if (fail) return false;
        values[{std::string(app), std::string(section), std::string(key)}] = value;
        return true;
    }
    std::map<std::tuple<std::string, std::string, std::string>, std::string> values;
    int saves = 0;
    bool fail = false;
};

// Writes every call down as one line, in order.
class RecordingTarget : public ConfigTarget {
  public:
    void set_caption(const std::string& v) override { calls.push_back("caption " + v); }
    void set_exit_link(const std::string& v) override { calls.push_back("exit " + v); }
    void set_link(int i, const std::string& c, const std::string& a) override {
        calls.push_back("link" + std::to_string(i) + " " + c + "|" + a);
    }
    void set_custom_button(int i, const std::string& c, const std::string& a) override {
        calls.push_back("button" + std::to_string(i) + " " + c + "|" + a);
    }
    void set_background(const std::string& colour_text) override {
        calls.push_back("background " + std::to_string(*colour_text_value(colour_text)));
    }
    void set_program_aliases(const ExeAliasTable& table) override {
        std::string line = "aliases";
        for (const auto& [from, to] : table)
            line += " " + from + "=" + to;
        calls.push_back(line);
    }
    std::vector<std::string> calls;
};

// A millisecond counter that moves only when wait_pumping_events lets messages run: each
// 0.1 s wait of the poll loop takes one step of 100 ms.
class FakeClock {
  public:
    FakeClock() {
        set_tick_source([this] { return now; });
        set_message_pump([this] { now += 100; });
    }
    ~FakeClock() {
        set_tick_source({});
        set_message_pump({});
    }
    // The poll (1..60) being read at the current time.
    int poll() const { return static_cast<int>(now / 100) + 1; }
    std::uint32_t now = 0;
};

inline constexpr int kNever = 0;

// Answers with `text` from poll `from` on (kNever: not at all).
class FakeFetcher : public PageFetcher {
  public:
    FakeFetcher(const FakeClock& clock, std::vector<std::string>& pings, int from, std::string text)
        : clock_(clock), pings_(pings), from_(from), text_(std::move(text)) {}
    void start_fetch(std::string_view url) override { pings_.emplace_back(url); }
    std::string fetched_text() override {
        return from_ != kNever && clock_.poll() >= from_ ? text_ : "";
    }

  private:
    const FakeClock& clock_;
    std::vector<std::string>& pings_;
    int from_;
    std::string text_;
};

} // namespace keeprun::test
