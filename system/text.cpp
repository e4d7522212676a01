#include "system/text.h"

#include <chrono>
#include <random>

#include "system/codepage.h"
#include "system/delay.h"
#include "system/numbers.h"
#include "system/resource_table.h"
#include "system/utf.h"

namespace keeprun {
namespace {

// Every character not in `allowed` becomes a space; the result is trimmed.
std::u16string blank_others(std::string_view text, std::string_view allowed) {
    std::u16string s = to_u16(text);
    const std::u16string keep = to_u16(allowed);
    for (char16_t& c : s)
        if (keep.find(c) == std::u16string::npos) c = u' ';
    const auto first = s.find_first_not_of(u' ');
    if (first == std::u16string::npos) return {};
    return s.substr(first, s.find_last_not_of(u' ') - first + 1);
}

const ResourceEntry* find_entry(auto&& match) {
    for (std::size_t i = 0; i < kResourceCount; ++i)
        if (match(kResources[i])) return &kResources[i];
    return nullptr;
}

} // namespace

std::string trim_spaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string keep_chars_spaced(std::string_view text, std::string_view allowed) {
    const std::u16string s = blank_others(text, allowed);
    std::u16string out;
    for (char16_t c : s)
        if (!(c == u' ' && !out.empty() && out.back() == u' ')) out += c;
    return from_u16(out);
}

std::string keep_only_chars(std::string_view text, std::string_view allowed) {
    std::u16string s = blank_others(text, allowed);
    std::erase(s, u' ');
    return from_u16(s);
}

std::string text_between(std::string_view text, std::string_view before, std::string_view after) {
    if (after.empty() || before.empty()) return {};
    std::string result;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t cut = text.find(after, from);
        const std::string_view piece =
            text.substr(from, cut == std::string_view::npos ? std::string_view::npos : cut - from);
        const std::size_t q = piece.rfind(before);
        if (q != std::string_view::npos) result = std::string(piece.substr(q + before.size()));
        if (cut == std::string_view::npos) break;
        from = cut + after.size();
    }
    return result;
}

std::string wrap_text(std::string_view text, int columns, int column_width) {
    if (text.empty() || columns < 1 || column_width < 0) return {};
    const std::u16string s = to_u16(text);
    const std::size_t w =
        static_cast<std::size_t>(columns) * (static_cast<std::size_t>(column_width) + 1);
    std::u16string out;
    std::size_t pieces = 0;
    for (std::size_t at = 0; at < s.size() && pieces < 100000; at += w, ++pieces) {
        if (pieces > 0) out += u"\r\n";
        out += s.substr(at, w);
    }
    return from_u16(out);
}

std::string random_digits(int count) {
    pump_messages();
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto since_midnight = now - floor<days>(now);
    std::mt19937 gen(static_cast<unsigned>(duration_cast<milliseconds>(since_midnight).count()));
    const double r = std::uniform_real_distribution<double>(0.0, 1.0)(gen);
    const std::string digits = std::to_string(static_cast<long long>(r * 999999) + 999999);
    if (count < 0) count = 0;
    const std::size_t n = static_cast<std::size_t>(count);
    return n >= digits.size() ? digits : digits.substr(digits.size() - n);
}

std::string_view custom_resource(std::string_view name) {
    const ResourceEntry* e = find_entry([&](const ResourceEntry& r) { return name == r.name; });
    return e ? e->data : std::string_view{};
}

std::string custom_resource_text(std::string_view key, int lookup) {
    const ResourceEntry* e = nullptr;
    if (lookup == 1) {
        const double id = number_value(key);
        e = find_entry([&](const ResourceEntry& r) { return r.id == id; });
    } else if (lookup == 2) {
        e = find_entry([&](const ResourceEntry& r) { return key == r.name; });
    }
    return e ? cp936_decode(e->data) : std::string{};
}

} // namespace keeprun
