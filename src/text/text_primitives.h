#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Byte-string primitives over GBK texts. Positions are 1-based byte positions
// and -1 means "not found". A byte of 0x80 or above starts a two-byte
// character, and matches are only found at character boundaries: a trail byte
// never starts a match. Case folding, where asked for, folds ASCII A-Z only.

// First match of `needle` at or after `start` (below 1 counts as 1). The walk
// starts at `start` whether or not that is a boundary of the whole text.
int find_text(std::string_view text, std::string_view needle, int start = 1,
              bool ignore_case = false);

// Last match lying wholly before position `before` (whole text when absent;
// below 1 gives an empty region). The walk starts at the first byte.
int find_last(std::string_view text, std::string_view needle,
              std::optional<int> before = std::nullopt, bool ignore_case = false);

// At most `count` bytes from `start`; empty when start < 1, start is past the
// end, or count <= 0.
std::string mid_text(std::string_view text, int start, int count);

// Pieces between exact matches of `separator`. An empty text gives no pieces,
// an empty separator the whole text; a trailing separator adds no piece.
std::vector<std::string> split_text(std::string_view text, std::string_view separator);

// Every non-overlapping match of `find` replaced; replacements are not searched again.
std::string replace_text(std::string_view text, std::string_view find, std::string_view replacement,
                         bool case_sensitive = true);
// The same, appended to `out`, so a loop can keep reusing one buffer.
void append_replaced(std::string& out, std::string_view text, std::string_view find,
                     std::string_view replacement, bool case_sensitive = true);

namespace detail {
// 0-based offset of the first match at or after `from`, where character
// boundaries are counted from `sync` (a position the caller knows to be one),
// or npos. Both find_text and the walks above are built on it.
size_t find_at_boundary(std::string_view text, std::string_view needle, size_t from, size_t sync,
                        bool fold);
}  // namespace detail

}  // namespace qm
