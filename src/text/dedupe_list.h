#pragma once

#include <string>
#include <string_view>

namespace qm {

// Removes repeated items of a separated list, keeping each at its last
// occurrence. Lets pending window events run while comparing.
std::string dedupe_list(std::string_view text, std::string_view separator,
                        std::string_view key_separator = {});

}  // namespace qm
