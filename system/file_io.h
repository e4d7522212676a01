#pragma once
// Whole-file reads and writes. A write replaces the file atomically (a
// temporary file beside it, then a rename), so a crash or a full disk never
// leaves a half-written file.
#include <optional>
#include <string>
#include <string_view>

namespace keeprun {

// The file's bytes; nullopt when it cannot be read (missing, no permission, a folder).
std::optional<std::string> read_file_bytes(const std::string& path);
// Replaces the file's content; false (and the old file left as it was) on any failure.
// The file keeps its permissions; `owner_only` takes every right of others away
// (on Windows the data folder's own access list already does).
bool write_file_atomic(const std::string& path, std::string_view bytes, bool owner_only = false);
// The file's bytes before a rewrite: "" for a missing file; false when it exists
// but cannot be read, so a rewrite never replaces a file it could not read.
bool read_for_rewrite(const std::string& path, std::string& bytes);
// True when anything (file, folder, link) exists at `path`.
bool path_exists(const std::string& path);
// Creates the file empty when nothing exists at `path`; false when that fails.
bool create_file_if_missing(const std::string& path);

// Creates the folder and its parents; "" on success, else what went wrong.
std::string make_folders(const std::string& path);

} // namespace keeprun
