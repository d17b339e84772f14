#pragma once

#include <string>
#include <string_view>

namespace qm {

struct CollectSettings;
struct RunContext;

struct ItemResult {
    std::string text;   // empty when the item yields nothing
    std::string title;  // as finally used; may be empty
};

// Everything done for one line of the item list: resolve it, page through its
// reviews, render them. Returns once done or once a stop was noticed.
ItemResult collect_item(std::string_view line, const CollectSettings& settings, RunContext& run);

}  // namespace qm
