// The ini reader over any data.ini, and a write of any value into it: the value
// reads back, and every other value stays as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzzing/support.h"
#include "system/codepage.h"
#include "system/files.h"
#include "system/utf.h"

using keeprun::fuzz::require;

namespace {

struct Place {
    const char* section;
    const char* key;
};
// The values the program keeps in data.ini.
constexpr std::array<Place, 9> kPlaces{{{"gx", "0"},
                                        {"cx1", "1"},
                                        {"cx1", "2"},
                                        {"cx1", "3"},
                                        {"cx1", "4"},
                                        {"cx2", "1"},
                                        {"cx2", "2"},
                                        {"cx2", "3"},
                                        {"cx2", "4"}}};

bool blank(char c) {
    return c == ' ' || c == '\t';
}

// True when every line feed of the text ends a CR LF pair.
bool only_crlf_breaks(std::string_view v) {
    for (std::size_t at = 0; (at = v.find('\n', at)) != std::string_view::npos; ++at)
        if (at == 0 || v[at - 1] != '\r') return false;
    return true;
}

// A value the reader gives back unchanged: the reader trims blanks, drops one
// pair of quotes, stops at NUL, turns "[vbcrlf]" into a line break and cuts
// at its buffer size, as the platform's reader did. A lone line feed is
// stored as a line break marker, so it comes back as CR LF.
bool reads_back_unchanged(const std::string& v) {
    if (v.empty()) return true;
    if (!only_crlf_breaks(v)) return false;
    if (keeprun::from_u16(keeprun::to_u16(v)) != v) return false;
    if (v.find('\0') != std::string::npos || v.find("[vbcrlf]") != std::string::npos) return false;
    if (blank(v.front()) || blank(v.back())) return false;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return false;
    return keeprun::cp936_encode(keeprun::escape_line_breaks(v)).size() < 25600;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const Place place = kPlaces[in.ConsumeIntegralInRange<std::size_t>(0, kPlaces.size() - 1)];
    const std::string value = in.ConsumeRandomLengthString();
    const std::string file = in.ConsumeRemainingBytesAsString();

    const std::string url = keeprun::fuzz::temp_folder().write("data.ini", file);
    std::array<std::string, kPlaces.size()> before;
    for (std::size_t i = 0; i < kPlaces.size(); ++i)
        before[i] = keeprun::read_ini(kPlaces[i].section, kPlaces[i].key, url);

    require(keeprun::write_ini(place.section, place.key, value, url), "the write succeeds");
    for (std::size_t i = 0; i < kPlaces.size(); ++i) {
        const std::string after = keeprun::read_ini(kPlaces[i].section, kPlaces[i].key, url);
        if (std::string_view(kPlaces[i].section) == place.section &&
            std::string_view(kPlaces[i].key) == place.key) {
            if (reads_back_unchanged(value)) require(after == value, "the value reads back");
        } else {
            require(after == before[i], "every other value stays");
        }
    }
    return 0;
}
