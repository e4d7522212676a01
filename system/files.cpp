#include "system/files.h"

#include <algorithm>

#include "system/codepage.h"
#include "system/file_io.h"
#include "system/ini.h"
#include "system/text.h"

namespace keeprun {
namespace {

constexpr std::string_view kEscape = "[vbcrlf]";
// The read buffer holds 25600 bytes, the last one for the closing NUL.
constexpr std::size_t kReadLimit = 25599;

std::string replace_all(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t at = 0;
    for (std::size_t hit; (hit = text.find(from, at)) != std::string_view::npos;
         at = hit + from.size())
        out.append(text.substr(at, hit - at)).append(to);
    out.append(text.substr(at));
    return out;
}

std::size_t utf8_char_length(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

// The longest head of the value whose code page 936 form fits the read buffer.
std::string cut_to_read_limit(std::string value) {
    if (value.size() <= kReadLimit || cp936_encode(value).size() <= kReadLimit) return value;
    std::size_t encoded = 0;
    std::size_t at = 0;
    while (at < value.size()) {
        const std::size_t len =
            std::min(utf8_char_length(static_cast<unsigned char>(value[at])), value.size() - at);
        const std::size_t add = cp936_encode(std::string_view(value).substr(at, len)).size();
        if (encoded + add > kReadLimit) break;
        encoded += add;
        at += len;
    }
    value.resize(at);
    return value;
}

} // namespace

std::string escape_line_breaks(std::string_view value) {
    // A lone line feed (a file name may hold one) would end the ini line: cut
    // there, the value would come back as another path and its rest would
    // become lines of their own. It is stored as a line break too.
    return replace_all(replace_all(value, "\r\n", "\n"), "\n", kEscape);
}

std::string unescape_line_breaks(std::string_view stored) {
    return replace_all(stored, kEscape, "\r\n");
}

std::string read_ini(std::string_view section, std::string_view key, const std::string& path) {
    const auto bytes = read_file_bytes(path);
    if (!bytes) return {};
    std::string value = IniText(*bytes).get(section, key).value_or("");
    value.resize(std::min(value.find('\0'), value.size()));
    return unescape_line_breaks(cut_to_read_limit(std::move(value)));
}

bool write_ini(std::string_view section, std::string_view key, std::string_view value,
               const std::string& path) {
    std::string bytes;
    if (!read_for_rewrite(path, bytes)) return false;
    IniText ini(std::move(bytes));
    ini.set(section, key, escape_line_breaks(value));
    return write_file_atomic(path, ini.bytes());
}

std::string read_text_file(const std::string& file_name) {
    const auto bytes = read_file_bytes(file_name);
    if (!bytes) {
        create_file_if_missing(file_name);
        return {};
    }
    return trim_spaces(cp936_decode(*bytes));
}

bool write_text_file(const std::string& file_name, std::string_view text) {
    return write_file_atomic(file_name, cp936_encode(trim_spaces(text) + "\r\n"));
}

void read_file_start(const std::string& file_name, std::vector<unsigned char>& start_bytes) {
    const auto bytes = read_file_bytes(file_name);
    if (!bytes) return;
    std::copy_n(bytes->begin(), std::min(bytes->size(), start_bytes.size()), start_bytes.begin());
}

bool write_file_start(const std::string& file_name, const std::vector<unsigned char>& start_bytes) {
    std::string bytes;
    if (!read_for_rewrite(file_name, bytes)) return false;
    if (bytes.size() < start_bytes.size()) bytes.resize(start_bytes.size());
    std::copy(start_bytes.begin(), start_bytes.end(), bytes.begin());
    return write_file_atomic(file_name, bytes);
}

} // namespace keeprun
