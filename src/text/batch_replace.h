#pragma once

#include <string>
#include <string_view>

namespace qm {

class RegexObject;

// Applies parallel find/replacement lists in order; each rule sees the result
// of the rules before it. A find text without a partner is deleted.
std::string batch_replace(std::string_view text, std::string_view find_list,
                          std::string_view replacement_list = {}, bool case_sensitive = false,
                          std::string_view list_separator = "|");

// Decodes the 40 named entities of the review pages into GBK. With
// strip_unknown, other entity-like sequences are removed using `leftover`
// (instance C) or, when that is null, an instance of its own.
std::string decode_entities(std::string_view text, bool strip_unknown = false,
                            RegexObject* leftover = nullptr);

}  // namespace qm
