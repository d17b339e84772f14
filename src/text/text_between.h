#pragma once

#include <string>
#include <string_view>

namespace qm {

// The text between a left and a right marker (ASCII case folded). Forward: the
// first pair at or after `*position`; on success `*position` becomes the byte
// after the right marker, so a loop from 0 walks every record of a page.
// Backward (`from_end`): the last pair before `*position` (the whole text when
// it is below 1); `*position` becomes the left marker's start. When nothing is
// found the result is empty and `*position` is left alone. A null `position`
// means a scratch value of 0.
std::string text_between(std::string_view text, std::string_view left, std::string_view right,
                         int start_offset = 0, int end_trim = 0, int* position = nullptr,
                         bool from_end = false);

// As text_between; when that finds nothing, tries once more with every double
// quote removed from both markers (attributes written with or without quotes).
std::string text_between_lenient(std::string_view text, std::string_view left,
                                 std::string_view right, int start_offset = 0, int end_trim = 0,
                                 int* position = nullptr, bool from_end = false);

}  // namespace qm
