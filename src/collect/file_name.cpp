#include "collect/file_name.h"

#include "text/gbk.h"
#include "text/text_primitives.h"

namespace qm {

namespace {
// Longest name of one directory entry, in the file system's own units.
constexpr size_t kNameLimit = 255;

size_t name_units(std::string_view gbk) {
#ifdef _WIN32
    size_t units = 0;  // UTF-16 units: one per GBK character
    for (size_t i = 0; i < gbk.size(); ++i, ++units)
        if (static_cast<unsigned char>(gbk[i]) >= 0x80 && i + 1 < gbk.size()) ++i;
    return units;
#else
    return gbk_to_utf8(gbk).size();  // bytes of the UTF-8 name
#endif
}
}  // namespace

std::string clean_file_name(std::string& title) {
    static const char* const kHalf[] = {"\\", "/", ":", "*", "?", "|", "<", ">"};
    static const std::string kFull[] = {"＼"_gbk, "／"_gbk, "："_gbk, "＊"_gbk,
                                        "？"_gbk, "｜"_gbk, "＜"_gbk, "＞"_gbk};
    std::string text = title;
    for (int i = 0; i < 8; ++i) text = replace_text(text, kHalf[i], kFull[i]);
    text = replace_text(text, "\"", "");
    text = replace_text(text, "\r\n", "");
    text = replace_text(text, "\r", "");
    text = replace_text(text, "\n", "");
    title = text;
    return text;
}

std::string fit_file_name(std::string_view name, std::string_view suffix) {
    const size_t suffix_units = name_units(suffix);
    if (name_units(name) + suffix_units <= kNameLimit) return std::string(name);
    size_t used = suffix_units;
    size_t end = 0;
    while (end < name.size()) {
        size_t width = static_cast<unsigned char>(name[end]) >= 0x80 && end + 1 < name.size() ? 2 : 1;
        const size_t units = name_units(name.substr(end, width));
        if (used + units > kNameLimit) break;
        used += units;
        end += width;
    }
    return std::string(name.substr(0, end));
}

}  // namespace qm
