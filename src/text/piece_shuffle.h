#pragma once

#include <string>
#include <string_view>

namespace qm {

// Cut at any of the separator characters (and at the piece mark, GBK A1 CD):
// one random qualifying piece, or all pieces in random order.
std::string pick_piece(std::string_view text, std::string_view separators, int min_length = 0,
                       std::string_view required_word = {});
std::string shuffle_pieces(std::string_view text, std::string_view separators);

}  // namespace qm
