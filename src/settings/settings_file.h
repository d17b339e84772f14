#pragma once

#include <string>
#include <string_view>

namespace qm {

class WindowAccess;

// The INI settings file. Every read and write goes to the file; nothing is
// cached. Names, values and the path are GBK. Never copied.
class SettingsFile {
public:
    SettingsFile() = default;
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    void open(std::string_view path, std::string_view section = {});
    void set_section(std::string_view name);
    const std::string& path() const { return path_; }
    const std::string& section() const { return section_; }

    bool write_text(std::string_view key, std::string_view value);
    std::string read_text(std::string_view key, std::string_view default_value = {});
    bool write_number(std::string_view key, double value);
    double read_number(std::string_view key, double default_value = 0);
    bool write_bool(std::string_view key, bool value);
    bool read_bool(std::string_view key, bool default_value = false);
    // Stored under the check box's caption.
    bool save_check_box(WindowAccess& window, std::string_view control);
    bool load_check_box(WindowAccess& window, std::string_view control);

private:
    std::string path_;
    std::string section_;
};

}  // namespace qm
