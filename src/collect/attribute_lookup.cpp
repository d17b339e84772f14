#include "collect/attribute_lookup.h"

#include "text/gbk.h"
#include "text/text_between.h"
#include "text/text_primitives.h"

namespace qm {

std::string lookup_attribute(std::string_view source, std::string_view name) {
    const std::string suffixes[] = {std::string(), "分类"_gbk};
    // "&nbsp" ends a value like ";" does; without any "&" the source stands as it is.
    const bool has_entities = source.find('&') != std::string_view::npos;
    const std::string replaced = has_entities ? replace_text(source, "&nbsp", ";", false) : std::string();
    const std::string_view work = has_entities ? std::string_view(replaced) : source;
    for (const std::string& suffix : suffixes) {
        const std::string key = std::string(name) + suffix;
        const std::string lefts[] = {"\"" + key + ":", ";" + key + ":", key + ":"};
        // Every left marker, with or without its quotes, holds key + ":";
        // where that is nowhere, none of them can match.
        const bool may_match = key.find('"') != std::string::npos || find_text(work, lefts[2], 1, true) > 0;
        std::string value;
        for (const std::string& left : lefts) {
            if (!may_match) break;
            value = text_between_lenient(work, left, "\"");
            if (value.empty()) continue;
            const std::string shorter = text_between_lenient(work, left, ";");
            if (!shorter.empty() && shorter.size() < value.size()) value = shorter;
            break;
        }
        if (value.empty()) {
            int position = 0;
            value = text_between(source, "{\"desc\":\"", "\",\"name\":\"" + key + "\"", 0, 0,
                                 &position, true);
        }
        value = replace_text(value, ";", "");
        if (!value.empty()) return value;
    }
    return {};
}

}  // namespace qm
