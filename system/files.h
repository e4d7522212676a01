#pragma once
// The shared file routines: ini values and whole text files in code page 936.
// Texts are UTF-8. Failures give empty results; writes report whether they
// happened and leave the old file untouched when they did not.
#include <string>
#include <string_view>
#include <vector>

namespace keeprun {

// The value of `key` in section `section` of the ini file `path`, each "[vbcrlf]"
// turned back into CR LF; "" when the file, section or key is missing. Values
// longer than 25599 bytes in the file are cut there, never inside a character.
std::string read_ini(std::string_view section, std::string_view key, const std::string& path);
// Writes the value with each CR LF (and each lone LF) stored as "[vbcrlf]", creating the file,
// section and key as needed and keeping every other line.
bool write_ini(std::string_view section, std::string_view key, std::string_view value,
               const std::string& path);

// The value as stored in the ini text (escaped) and back.
std::string escape_line_breaks(std::string_view value);
std::string unescape_line_breaks(std::string_view stored);

// The whole file decoded, spaces trimmed at both ends; a missing file is left
// behind empty and reads as "".
std::string read_text_file(const std::string& file_name);
// Replaces the file by `text` trimmed of spaces, then CR LF, in code page 936.
bool write_text_file(const std::string& file_name, std::string_view text);

// Fills `start_bytes` from the start of the file, as far as both reach.
void read_file_start(const std::string& file_name, std::vector<unsigned char>& start_bytes);
// Writes the bytes at the start of the file; a longer file keeps its tail.
bool write_file_start(const std::string& file_name, const std::vector<unsigned char>& start_bytes);

} // namespace keeprun
