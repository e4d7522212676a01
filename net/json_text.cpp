#include "net/json_text.h"

#include <cctype>
#include <cstdio>

#include "system/utf.h"

namespace keeprun {
namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads the string that starts at json[at] (its opening quote); moves `at` past it.
std::optional<std::string> read_string(std::string_view json, std::size_t& at) {
    std::string out;
    for (++at; at < json.size(); ++at) {
        const char c = json[at];
        if (c == '"') {
            ++at;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++at >= json.size()) return std::nullopt;
        switch (const char e = json[at]) {
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'u': {
            if (at + 4 >= json.size()) return std::nullopt;
            unsigned unit = 0;
            if (std::sscanf(std::string(json.substr(at + 1, 4)).c_str(), "%4x", &unit) != 1)
                return std::nullopt;
            at += 4;
            char32_t code = unit;
            // A pair of surrogates makes one character.
            if (unit >= 0xD800 && unit < 0xDC00 && at + 6 < json.size() && json[at + 1] == '\\' &&
                json[at + 2] == 'u') {
                unsigned low = 0;
                if (std::sscanf(std::string(json.substr(at + 3, 4)).c_str(), "%4x", &low) == 1 &&
                    low >= 0xDC00 && low < 0xE000) {
                    code = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                    at += 6;
                }
            }
            append_utf8(out, code);
            break;
        }
        default:
            out += e;
        }
    }
    return std::nullopt;
}

} // namespace

std::string json_quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned char>(c));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::optional<std::string> json_field(std::string_view json, std::string_view name) {
    for (std::size_t at = 0; at < json.size(); ++at) {
        if (json[at] != '"') continue;
        const auto key = read_string(json, at);
        if (!key) return std::nullopt;
        std::size_t colon = at;
        while (colon < json.size() && is_blank(json[colon]))
            ++colon;
        if (colon >= json.size() || json[colon] != ':') {
            // A string value, not a member name: go on after it.
            --at;
            continue;
        }
        std::size_t value = colon + 1;
        while (value < json.size() && is_blank(json[value]))
            ++value;
        if (*key != name) {
            at = value - 1;
            continue;
        }
        if (value < json.size() && json[value] == '"') return read_string(json, value);
        std::size_t end = value;
        while (end < json.size() &&
               (std::isdigit(static_cast<unsigned char>(json[end])) || json[end] == '-'))
            ++end;
        if (end == value) return std::nullopt;
        return std::string(json.substr(value, end - value));
    }
    return std::nullopt;
}

} // namespace keeprun
