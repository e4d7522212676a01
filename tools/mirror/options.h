#pragma once
// Command line of keeprun-mirror.
#include <array>
#include <string>

namespace keeprun {

struct MirrorOptions {
    std::string dir;
    std::string host = "127.0.0.1";
    std::array<int, 3> ports{};
    std::array<bool, 3> answers{true, true, true};
    std::array<double, 3> delays{};
    // Nothing listens until this many seconds after start: a network that comes up late.
    double down_for = 0;
    // Per-mirror replacement for <dir>/list.txt; "" for none.
    std::array<std::string, 3> lists;
    // The chat-group stand-in at /hook/: how long it waits before answering, and
    // the error it answers instead of success ("" for none).
    double hook_delay = 0;
    std::string hook_error;
    bool help = false;
};

// The --help text.
std::string mirror_usage(const MirrorOptions& defaults);

// Fills `opt` (which holds the defaults) from argv; false with `error` set on a
// bad option. --help sets `help` and stops reading.
bool parse_mirror_options(int argc, char** argv, MirrorOptions& opt, std::string& error);

// The port of an "http://host:port/..." address; 80 when it names none, -1 when
// it cannot be read.
int url_port(const std::string& url);

} // namespace keeprun
