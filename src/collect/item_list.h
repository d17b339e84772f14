#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qm {

// The lines of an item list without their line breaks. A line ends at LF;
// a CR before it belongs to the break (files saved by Windows tools), and a
// UTF-8 byte-order mark at the start is not part of the first line.
std::vector<std::string> split_item_lines(std::string_view bytes);

}  // namespace qm
