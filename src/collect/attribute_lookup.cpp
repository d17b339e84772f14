#include "collect/attribute_lookup.h"

#include "text/batch_replace.h"
#include "text/gbk.h"
#include "text/text_between.h"

namespace qm {

std::string lookup_attribute(std::string_view source, std::string_view name) {
    const std::string suffixes[] = {std::string(), "分类"_gbk};
    for (const std::string& suffix : suffixes) {
        const std::string work = batch_replace(source, "&nbsp", ";");
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
        value = batch_replace(value, ";");
        if (!value.empty()) return value;
    }
    return {};
}

}  // namespace qm
