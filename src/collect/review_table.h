#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "collect/item_info.h"
#include "collect/raw_review.h"
#include "text/unique_random_picker.h"

namespace qm {

struct CollectSettings;
struct RegexInstances;
class RegexObject;

// One placeholder of the template and its value for every accepted review.
struct ReviewColumn {
    std::string name;  // without the "#" characters
    std::vector<std::string> values;
    UniqueRandomPicker picker;
};

// The values of one accepted review, one per column in column order.
struct ReviewEntry {
    std::vector<std::string> values;
};

// One per item: the template cut into columns and pieces, the accepted values,
// and the item whose title may be rebuilt.
struct ReviewTable {
    // Placeholders with their "#", joined by "|||", each at its last occurrence.
    std::string placeholder_list;
    std::vector<std::string> placeholders;
    std::vector<std::unique_ptr<ReviewColumn>> columns;
    std::vector<std::string> pieces;
    UniqueRandomPicker piece_picker;
    std::string title_snippet;
    ItemInfo item;
    int accepted = 0;
};

// The template analysis; an empty template stands for "#评论#" CR LF.
// Uses instance A for the placeholder pattern.
std::unique_ptr<ReviewTable> make_review_table(std::string_view template_text, ItemInfo item,
                                               RegexObject& regex_a);

// Entity decoding, the user's replacement rules, the minimum length, the title
// rebuild and one value per column. Instance A must hold the user's match
// pattern when replacement is on in regex mode; instance B "[\s\r\n]".
bool accept_review(ReviewTable& table, const RawReview& review, const CollectSettings& settings,
                   RegexInstances& regex);

// Every accepted review poured into a template piece drawn without repetition;
// with content shuffle each column's values are drawn at random, each once.
// Lets pending window events run after each review.
std::string render_item_text(ReviewTable& table, bool content_shuffle, bool seed_from_clock = true);

}  // namespace qm
