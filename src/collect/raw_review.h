#pragma once

#include <functional>
#include <string>

namespace qm {

// One review as read from a review page (GBK). Entities are still encoded.
struct RawReview {
    std::string content;
    std::string buyer;
    std::string date;
    // Where the review's attributes (colour, size, ...) are looked up by name.
    std::string attribute_source;
};

// Receives every review record of a page; true when the review was accepted.
using AcceptReview = std::function<bool(const RawReview&)>;

}  // namespace qm
