#pragma once

#include <string>
#include <string_view>

namespace qm {

// The value of a variant attribute (颜色, 尺码, ...) in a review's attribute
// text; tries the name, then the name followed by 分类. Empty when absent.
std::string lookup_attribute(std::string_view source, std::string_view name);

}  // namespace qm
