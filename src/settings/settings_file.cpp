#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "settings/ini_file.h"
#include "settings/window_access.h"
#include "text/gbk.h"
#include "text/text_primitives.h"

namespace qm {

namespace {

// Multi-line texts are kept on one INI line with this mark for each line break.
const std::string& line_break_mark() {
    static const std::string mark = "\xA9\xAE*\xA9\xAE";  // "┊*┊"
    return mark;
}

std::string_view skip_leading_blanks(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) >= 1 &&
           static_cast<unsigned char>(s.front()) <= 32)
        s.remove_prefix(1);
    return s;
}

// Every line break becomes the mark. A lone CR or LF counts as one too: left
// raw it would end the INI line and the rest of the value would become a key.
std::string escape_line_breaks(std::string_view value) {
    std::string out = replace_text(value, "\r\n", line_break_mark());
    out = replace_text(out, "\r", line_break_mark());
    return replace_text(out, "\n", line_break_mark());
}

std::string unescape_line_breaks(std::string_view value) {
    return replace_text(value, line_break_mark(), "\r\n");
}

enum class ReadStatus { ok, missing, failed };

ReadStatus read_whole_file(const std::string& native_path, std::string& out) {
    out.clear();
    int fd = ::open(native_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ReadStatus::missing : ReadStatus::failed;
    char buffer[16384];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return ReadStatus::failed;
        }
        out.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return ReadStatus::ok;
}

bool write_all(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Writes the whole file beside the old one and renames it over it, so a
// failure at any point leaves the old file as it was.
bool replace_file(const std::string& native_path, std::string_view contents, std::optional<mode_t> mode) {
    std::string temp = native_path + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    if (!mode) {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = ::fchmod(fd, *mode) == 0 && write_all(fd, contents) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(temp.c_str(), native_path.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

// The file a write goes to: the target of a symbolic link, so that the
// rename does not replace the link itself.
std::string write_target(const std::string& native_path) {
    std::error_code ec;
    if (std::filesystem::is_symlink(native_path, ec)) {
        auto target = std::filesystem::canonical(native_path, ec);
        if (!ec) return target.string();
    }
    return native_path;
}

std::string number_text(double value) {
    if (value == 0) return "0";  // also for -0
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) return "0";
    return std::string(buffer, end);
}

double parse_number(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);  // from_chars takes no sign
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return 0;
    return value;
}

const std::string& true_text() { return "真"_gbk; }
const std::string& false_text() { return "假"_gbk; }

// The raw INI value of key in section; nullopt when the file, the section or
// the key is missing (the caller's default then applies).
std::optional<std::string> read_raw(const std::string& path, const std::string& section,
                                    std::string_view key) {
    std::string_view p = skip_leading_blanks(path);
    std::string_view s = skip_leading_blanks(section);
    key = skip_leading_blanks(key);
    if (p.empty() || s.empty() || key.empty()) return std::string();
    std::string contents;
    if (read_whole_file(gbk_to_utf8(p), contents) != ReadStatus::ok) return std::nullopt;
    return ini_find_value(contents, s, key);
}

bool write_raw(const std::string& path, const std::string& section, std::string_view key,
               std::string_view value) {
    std::string_view p = skip_leading_blanks(path);
    if (p.empty()) return false;
    std::string native = write_target(gbk_to_utf8(p));
    std::string contents;
    ReadStatus status = read_whole_file(native, contents);
    // An existing file that cannot be read must not be replaced by one holding only this key.
    if (status == ReadStatus::failed) return false;
    std::optional<std::string> updated =
        ini_set_value(contents, skip_leading_blanks(section), skip_leading_blanks(key), value);
    if (!updated) return false;
    std::optional<mode_t> mode;
    struct stat st;
    if (status == ReadStatus::ok && ::stat(native.c_str(), &st) == 0) mode = st.st_mode & 07777;
    return replace_file(native, *updated, mode);
}

}  // namespace

void SettingsFile::open(std::string_view path, std::string_view section) {
    path_ = std::string(path);
    if (!section.empty()) section_ = std::string(section);
}

void SettingsFile::set_section(std::string_view name) { section_ = std::string(name); }

bool SettingsFile::write_text(std::string_view key, std::string_view value) {
    return write_raw(path_, section_, key, escape_line_breaks(value));
}

std::string SettingsFile::read_text(std::string_view key, std::string_view default_value) {
    std::optional<std::string> raw = read_raw(path_, section_, key);
    return unescape_line_breaks(raw ? *raw : escape_line_breaks(default_value));
}

bool SettingsFile::write_number(std::string_view key, double value) {
    return write_raw(path_, section_, key, number_text(value));
}

double SettingsFile::read_number(std::string_view key, double default_value) {
    std::optional<std::string> raw = read_raw(path_, section_, key);
    return parse_number(raw ? *raw : number_text(default_value));
}

bool SettingsFile::write_bool(std::string_view key, bool value) {
    return write_raw(path_, section_, key, value ? true_text() : false_text());
}

bool SettingsFile::read_bool(std::string_view key, bool default_value) {
    std::optional<std::string> raw = read_raw(path_, section_, key);
    return (raw ? *raw : (default_value ? true_text() : false_text())) == true_text();
}

bool SettingsFile::save_check_box(WindowAccess& window, std::string_view control) {
    return write_bool(window.text(control), window.is_checked(control));
}

bool SettingsFile::load_check_box(WindowAccess& window, std::string_view control) {
    bool checked = read_bool(window.text(control), window.is_checked(control));
    window.set_checked(control, checked);
    return checked;
}

}  // namespace qm
