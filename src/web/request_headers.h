#pragma once

#include <string>
#include <string_view>

namespace qm {

// The header text of a page request: the caller's extra header lines first,
// then Accept, Referer (the address itself) and Accept-Language, each only
// when its name is not already in the text (letter case ignored). A POST with
// data adds Content-Type (unless given) and its Content-Length. Every line
// ends in CR LF.
std::string build_request_headers(std::string_view address, std::string_view extra_headers,
                                  bool post, std::string_view post_data);

}  // namespace qm
