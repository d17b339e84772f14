#include "collect/file_system.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "collect/collect_settings.h"
#include "text/gbk.h"

namespace qm {

std::filesystem::path to_fs_path(std::string_view gbk_path) {
    const std::string utf8 = gbk_to_utf8(gbk_path);
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool path_exists(std::string_view gbk_path) {
    if (gbk_path.empty()) return false;
    std::error_code error;
    return std::filesystem::exists(to_fs_path(gbk_path), error);
}

bool create_parent_directories(std::string_view gbk_path) {
    for (size_t p = gbk_path.find(kPathSeparator); p != std::string_view::npos;
         p = gbk_path.find(kPathSeparator, p + 1)) {
        const std::string_view prefix = gbk_path.substr(0, p);
#ifdef _WIN32
        if (prefix.size() == 2) continue;  // a drive such as "C:"
#endif
        if (prefix.empty()) continue;  // the root of an absolute path
        if (path_exists(prefix)) continue;
        std::error_code error;
        if (!std::filesystem::create_directory(to_fs_path(prefix), error)) return false;
    }
    return true;
}

bool write_bytes(std::string_view gbk_path, std::string_view bytes) {
    std::ofstream out(to_fs_path(gbk_path), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

std::optional<std::string> read_bytes(std::string_view gbk_path) {
    if (gbk_path.empty()) return std::nullopt;
    const auto path = to_fs_path(gbk_path);
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace qm
