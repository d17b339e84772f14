#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Paths are GBK inside the core; these convert them for the file system.
std::filesystem::path to_fs_path(std::string_view gbk_path);

bool path_exists(std::string_view gbk_path);

// Creates every missing directory on the way to a file path (the part after
// the last separator is the file name and is never created).
bool create_parent_directories(std::string_view gbk_path);

// Writes the bytes, creating or replacing the file.
bool write_bytes(std::string_view gbk_path, std::string_view bytes);

// The whole file, or nothing when it cannot be opened.
std::optional<std::string> read_bytes(std::string_view gbk_path);

}  // namespace qm
