#pragma once

#include <string_view>

namespace qm {

// Characters as a reader counts them: a two-byte character counts once.
// line_break_mode 0: CR and LF do not count; 1: half each; 2: LF counts two.
int char_count(std::string_view text, int line_break_mode = 0);

}  // namespace qm
