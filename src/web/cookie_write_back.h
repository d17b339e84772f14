#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Every "Set-Cookie: " line of a response header block as a cookie line in
// the Netscape cookie-file format, set for exactly `host` (no subdomains):
// the name before the first "=", the value up to the first ";", the path and
// expiry taken from the attributes (path "/" and a session cookie otherwise).
// Lines without a name, or with bytes the format cannot carry, are skipped.
std::vector<std::string> cookie_lines_for_host(std::string_view header_block, std::string_view host,
                                               std::time_t now);

}  // namespace qm
