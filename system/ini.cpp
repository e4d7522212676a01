#include "system/ini.h"

#include <vector>

#include "system/codepage.h"

namespace keeprun {
namespace {

// One line of the file: its bytes without the line break, and where it starts.
struct Line {
    std::size_t begin;
    std::size_t end; // before "\r\n" or "\n"
    std::size_t next;
};

std::vector<Line> split_lines(const std::string& bytes) {
    // A line feed byte never occurs inside a code page 936 character, so the
    // bytes can be cut into lines before decoding.
    std::vector<Line> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t lf = bytes.find('\n', at);
        const std::size_t stop = lf == std::string::npos ? bytes.size() : lf;
        std::size_t end = stop;
        if (end > at && bytes[end - 1] == '\r') --end;
        lines.push_back({at, end, lf == std::string::npos ? bytes.size() : lf + 1});
        at = lines.back().next;
    }
    return lines;
}

std::string_view trim_blanks(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

// What a decoded line is: a section header, a key with its value, or neither.
struct Parsed {
    enum Kind { other, section, entry } kind = other;
    std::string name;
    std::string value;
};

Parsed parse_line(const std::string& text) {
    const std::string_view line = trim_blanks(text);
    Parsed p;
    if (!line.empty() && line.front() == '[') {
        const std::size_t close = line.find(']');
        p.kind = Parsed::section;
        p.name = trim_blanks(line.substr(1, close == std::string_view::npos ? close : close - 1));
        return p;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return p;
    p.kind = Parsed::entry;
    p.name = trim_blanks(line.substr(0, eq));
    std::string_view value = trim_blanks(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    p.value = value;
    return p;
}

// What must come before text appended after `head`: nothing after a line feed,
// the LF of a CR cut off from it, otherwise a whole CR LF.
std::string_view break_after(std::string_view head) {
    if (head.empty() || head.back() == '\n') return {};
    return head.back() == '\r' ? "\n" : "\r\n";
}

Parsed parse_at(const std::string& bytes, const Line& l) {
    return parse_line(cp936_decode(std::string_view(bytes).substr(l.begin, l.end - l.begin)));
}

} // namespace

std::optional<std::string> IniText::get(std::string_view section, std::string_view key) const {
    bool inside = false;
    bool seen = false;
    for (const Line& l : split_lines(bytes_)) {
        Parsed p = parse_at(bytes_, l);
        if (p.kind == Parsed::section) {
            // Only the first section of that name counts.
            if (inside) return std::nullopt;
            inside = !seen && same_name(p.name, section);
            seen = seen || inside;
        } else if (inside && p.kind == Parsed::entry && same_name(p.name, key)) {
            return std::move(p.value);
        }
    }
    return std::nullopt;
}

void IniText::set(std::string_view section, std::string_view key, std::string_view value) {
    const std::string entry = cp936_encode(std::string(key) + "=" + std::string(value));
    const std::vector<Line> lines = split_lines(bytes_);
    std::size_t i = 0;
    bool found = false;
    while (i < lines.size() && !found) {
        const Parsed p = parse_at(bytes_, lines[i++]);
        found = p.kind == Parsed::section && same_name(p.name, section);
    }
    if (!found) {
        bytes_ += break_after(bytes_);
        bytes_ += cp936_encode("[" + std::string(section) + "]") + "\r\n" + entry + "\r\n";
        return;
    }
    // Inside the section: replace the key's line, or add the key after its last filled line.
    std::size_t insert_at = lines[i - 1].next;
    for (; i < lines.size(); ++i) {
        const Parsed p = parse_at(bytes_, lines[i]);
        if (p.kind == Parsed::section) break;
        if (p.kind == Parsed::entry && same_name(p.name, key)) {
            bytes_.replace(lines[i].begin, lines[i].end - lines[i].begin, entry);
            return;
        }
        if (!trim_blanks(
                 std::string_view(bytes_).substr(lines[i].begin, lines[i].end - lines[i].begin))
                 .empty())
            insert_at = lines[i].next;
    }
    const std::string_view head = std::string_view(bytes_).substr(0, insert_at);
    bytes_.insert(insert_at, std::string(break_after(head)) + entry + "\r\n");
}

} // namespace keeprun
