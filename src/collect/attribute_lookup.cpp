#include "collect/attribute_lookup.h"

#include "text/batch_replace.h"
#include "text/gbk.h"
#include "text/text_between.h"
#include "text/text_primitives.h"

namespace qm {

std::string lookup_attribute(std::string_view source, std::string_view name) {
    const std::string suffixes[] = {std::string(), "分类"_gbk};
    // "&nbsp" ends a value like ";" does; without any "&" the source is its own copy.
    const std::string work = source.find('&') == std::string_view::npos
                                 ? std::string(source)
                                 : batch_replace(source, "&nbsp", ";");
    for (const std::string& suffix : suffixes) {
        const std::string key = std::string(name) + suffix;
        const std::string lefts[] = {"\"" + key + ":", ";" + key + ":", key + ":"};
        std::string value;
        for (const std::string& left : lefts) {
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
