#include "settings/ini_file.h"

#include <cstddef>
#include <vector>

namespace qm {

namespace {

bool is_blank(char c) {
    auto b = static_cast<unsigned char>(c);
    return b >= 1 && b <= 32;
}

bool is_lead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Trail bytes are 0x40 and above, so cutting bytes 1..32 never splits a character.
std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Offset of the last `c` that starts a character, or npos.
size_t last_char_at_boundary(std::string_view s, char c) {
    size_t found = std::string_view::npos;
    for (size_t i = 0; i < s.size(); i += is_lead(s[i]) ? 2 : 1)
        if (s[i] == c) found = i;
    return found;
}

size_t first_char_at_boundary(std::string_view s, char c) {
    for (size_t i = 0; i < s.size(); i += is_lead(s[i]) ? 2 : 1)
        if (s[i] == c) return i;
    return std::string_view::npos;
}

enum class LineKind { other, section, key };

struct Line {
    size_t start = 0;     // first byte of the line
    size_t end = 0;       // end of its content, before CR LF or LF
    size_t next = 0;      // first byte of the next line
    LineKind kind = LineKind::other;
    std::string_view name;   // section or key name, trimmed
    std::string_view value;  // key value, trimmed, quotes still on
};

std::vector<Line> split_lines(std::string_view text) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        Line line;
        line.start = pos;
        size_t lf = text.find('\n', pos);  // LF is never a trail byte
        line.next = lf == std::string_view::npos ? text.size() : lf + 1;
        line.end = lf == std::string_view::npos ? text.size() : lf;
        if (line.end > line.start && text[line.end - 1] == '\r') --line.end;
        pos = line.next;

        std::string_view content = trim(text.substr(line.start, line.end - line.start));
        if (content.empty() || content.front() == ';') {
            // blank line or comment
        } else if (content.front() == '[') {
            size_t close = last_char_at_boundary(content, ']');
            if (close != std::string_view::npos) {
                line.kind = LineKind::section;
                line.name = trim(content.substr(1, close - 1));
            }
        } else {
            size_t eq = first_char_at_boundary(content, '=');
            if (eq != std::string_view::npos) {
                line.kind = LineKind::key;
                line.name = trim(content.substr(0, eq));
                line.value = trim(content.substr(eq + 1));
            }
        }
        lines.push_back(line);
    }
    return lines;
}

std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Where a section lies among the lines: its header and the line after its last.
struct SectionRange {
    size_t header = 0;
    size_t end = 0;
    bool found = false;
};

SectionRange find_section(const std::vector<Line>& lines, std::string_view section) {
    SectionRange range;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == LineKind::section && ini_names_equal(lines[i].name, section)) {
            range.header = i;
            range.found = true;
            size_t j = i + 1;
            while (j < lines.size() && lines[j].kind != LineKind::section) ++j;
            range.end = j;
            break;
        }
    }
    return range;
}

const Line* find_key(const std::vector<Line>& lines, const SectionRange& range, std::string_view key) {
    for (size_t i = range.header + 1; i < range.end; ++i)
        if (lines[i].kind == LineKind::key && ini_names_equal(lines[i].name, key)) return &lines[i];
    return nullptr;
}

bool has_line_break(std::string_view s) {
    return s.find('\r') != std::string_view::npos || s.find('\n') != std::string_view::npos;
}

// What completes the last line of `text` when it lacks its line break.
std::string line_break_to_end(std::string_view text) {
    if (text.empty() || text.back() == '\n') return {};
    return text.back() == '\r' ? "\n" : "\r\n";
}

}  // namespace

bool ini_names_equal(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (is_lead(a[i])) {
            // A two-byte character only equals itself, whatever its trail byte.
            if (i + 1 < a.size() && a[i + 1] != b[i + 1]) return false;
            if (a[i] != b[i]) return false;
            ++i;
        } else if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> ini_find_value(std::string_view file_text, std::string_view section,
                                          std::string_view key) {
    section = trim(section);
    key = trim(key);
    std::vector<Line> lines = split_lines(file_text);
    SectionRange range = find_section(lines, section);
    if (!range.found) return std::nullopt;
    const Line* line = find_key(lines, range, key);
    if (!line) return std::nullopt;
    return std::string(unquote(line->value));
}

std::optional<std::string> ini_set_value(std::string_view file_text, std::string_view section,
                                         std::string_view key, std::string_view value) {
    section = trim(section);
    key = trim(key);
    if (section.empty() || key.empty() || has_line_break(section) || has_line_break(key) ||
        has_line_break(value) || key.front() == ';' || key.front() == '[' ||
        first_char_at_boundary(key, '=') != std::string_view::npos)
        return std::nullopt;

    std::string stored(value);
    if (trim(value).size() != value.size() || unquote(value).size() != value.size())
        stored = "\"" + stored + "\"";

    std::vector<Line> lines = split_lines(file_text);
    SectionRange range = find_section(lines, section);
    std::string out(file_text);

    if (range.found) {
        if (const Line* line = find_key(lines, range, key)) {
            // Keep the key as the file spells it; only its value changes.
            std::string new_line = std::string(line->name) + "=" + stored;
            out.replace(line->start, line->end - line->start, new_line);
            return out;
        }
        // After the section's last line that is not blank (blank lines before
        // the next section stay where they are).
        size_t last = range.header;
        for (size_t i = range.header + 1; i < range.end; ++i)
            if (!trim(file_text.substr(lines[i].start, lines[i].end - lines[i].start)).empty()) last = i;
        size_t at = lines[last].next;
        std::string insert = line_break_to_end(file_text.substr(0, at));
        insert += std::string(key) + "=" + stored + "\r\n";
        out.insert(at, insert);
        return out;
    }

    out += line_break_to_end(out);
    out += "[" + std::string(section) + "]\r\n" + std::string(key) + "=" + stored + "\r\n";
    return out;
}

}  // namespace qm
