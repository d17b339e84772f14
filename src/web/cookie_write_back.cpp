#include "web/cookie_write_back.h"

#include <curl/curl.h>

#include <charconv>

#include "text/text_primitives.h"

namespace qm {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

bool fits_format(std::string_view s) {
    for (char c : s)
        if (c == '\t' || c == '\r' || c == '\n' || c == '\0') return false;
    return true;
}

}  // namespace

std::vector<std::string> cookie_lines_for_host(std::string_view header_block, std::string_view host,
                                               std::time_t now) {
    std::vector<std::string> lines;
    if (host.empty() || !fits_format(host)) return lines;
    static constexpr std::string_view kMarker = "Set-Cookie: ";
    for (const std::string& line : split_text(header_block, "\r\n")) {
        int at = find_text(line, kMarker, 1, true);
        if (at < 1) continue;
        std::string_view rest = std::string_view(line).substr(at - 1 + kMarker.size());
        size_t eq = rest.find('=');
        if (eq == std::string_view::npos) continue;
        std::string_view name = trim(rest.substr(0, eq));
        std::string_view data = rest.substr(eq + 1);
        size_t semi = data.find(';');
        std::string_view value = trim(data.substr(0, semi));
        if (name.empty() || !fits_format(name) || !fits_format(value)) continue;

        std::string path = "/";
        bool secure = false;
        long long expires = 0;  // 0: a session cookie
        bool max_age_seen = false;
        while (semi != std::string_view::npos) {
            data = data.substr(semi + 1);
            semi = data.find(';');
            std::string_view attr = trim(data.substr(0, semi));
            size_t aeq = attr.find('=');
            std::string_view key = trim(attr.substr(0, aeq));
            std::string_view val = aeq == std::string_view::npos ? std::string_view() : trim(attr.substr(aeq + 1));
            if (iequals(key, "path") && !val.empty() && val.front() == '/' && fits_format(val)) {
                path = std::string(val);
            } else if (iequals(key, "secure")) {
                secure = true;
            } else if (iequals(key, "max-age")) {
                long long seconds = 0;
                auto [p, ec] = std::from_chars(val.data(), val.data() + val.size(), seconds);
                if (ec == std::errc() && p == val.data() + val.size()) {
                    // Zero or less removes the cookie: an expiry in the past.
                    expires = seconds > 0 ? static_cast<long long>(now) + seconds : 1;
                    max_age_seen = true;
                }
            } else if (iequals(key, "expires") && !max_age_seen) {
                std::string date(val);
                std::time_t when = curl_getdate(date.c_str(), nullptr);
                if (when > 0) expires = when;
                else if (when == 0) expires = 1;
            }
        }
        std::string out(host);
        out += "\tFALSE\t" + path + (secure ? "\tTRUE\t" : "\tFALSE\t") + std::to_string(expires) + "\t";
        out += name;
        out += '\t';
        out += value;
        lines.push_back(std::move(out));
    }
    return lines;
}

}  // namespace qm
