#include "web/request_headers.h"

#include "text/text_primitives.h"

namespace qm {

namespace {

bool has_header(std::string_view text, std::string_view name) {
    return find_text(text, name, 1, true) > 0;
}

// Drops every line that starts with `name` (letter case ignored).
std::string without_lines(std::string_view text, std::string_view name) {
    std::string kept;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view line = text.substr(start, end - start);
        if (find_text(line.substr(0, name.size()), name, 1, true) != 1) kept += line;
        start = end;
    }
    return kept;
}

}  // namespace

std::string build_request_headers(std::string_view address, std::string_view extra_headers,
                                  bool post, std::string_view post_data) {
    std::string text(extra_headers);
    if (!has_header(text, "Accept: "))
        text += "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
                "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n";
    if (!has_header(text, "Referer: ")) {
        text += "Referer: ";
        text += address;
        text += "\r\n";
    }
    if (!has_header(text, "Accept-Language: ")) text += "Accept-Language: zh-cn\r\n";
    if (post && !post_data.empty()) {
        if (!has_header(text, "Content-Type: "))
            text += "Content-Type: application/x-www-form-urlencoded\r\n";
        // A second, different length would make the request malformed.
        text = without_lines(text, "Content-Length:");
        text += "Content-Length: " + std::to_string(post_data.size()) + "\r\n";
    }
    return text;
}

}  // namespace qm
