#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Reading and rewriting the text of an INI file (GBK bytes) the way the
// Windows profile functions do, so that files pass both ways:
// - lines end in LF or CR LF; blanks (bytes 1 to 32) around a line, a name or
//   a value do not count; lines starting with ";" are comments;
// - section and key names compare with ASCII letters folded, character by
//   character (the trail byte of a two-byte character is never folded);
// - a value in matching double or single quotes reads without them;
// - only the first of sections with the same name counts, and in it the
//   first of keys with the same name;
// - a rewrite changes the key's one line and keeps every other byte.

// Whether two names are equal with ASCII letters folded.
bool ini_names_equal(std::string_view a, std::string_view b);

// The value of `key` in `section`; nullopt when either is missing.
std::optional<std::string> ini_find_value(std::string_view file_text, std::string_view section,
                                          std::string_view key);

// The file text with `key` of `section` set to `value`: its line is rewritten,
// or a new line goes at the end of the section, or a new section at the end
// of the file. A value with blanks at its ends, or one that would lose its
// quotes on reading, is written quoted so it reads back as given. Nullopt
// when the names or the value cannot be stored on one line (empty names,
// line breaks, a key with "=" or starting with ";" or "[").
std::optional<std::string> ini_set_value(std::string_view file_text, std::string_view section,
                                         std::string_view key, std::string_view value);

}  // namespace qm
