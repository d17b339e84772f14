#include "text/dedupe_list.h"

#include <vector>

#include "text/pending_events.h"
#include "text/text_primitives.h"

namespace qm {

std::string dedupe_list(std::string_view text, std::string_view separator,
                        std::string_view key_separator) {
    const std::vector<std::string> items = split_text(text, separator);
    if (items.size() < 2) return std::string(text);

    std::vector<std::string> keys;
    keys.reserve(items.size());
    for (const std::string& item : items) {
        if (key_separator.empty()) {
            keys.push_back(item);
        } else {
            std::vector<std::string> parts = split_text(item, key_separator);
            keys.push_back(parts.empty() ? std::string() : std::move(parts.front()));
        }
    }

    std::string result;
    auto append = [&](const std::string& item) {
        if (!result.empty()) result.append(separator);
        result.append(item);
    };
    for (size_t i = 0; i + 1 < items.size(); ++i) {
        bool repeated = false;
        for (size_t j = i + 1; j < items.size() && !repeated; ++j) {
            repeated = keys[i] == keys[j];
            // A long list must not freeze the window.
            if (!repeated) run_pending_events();
        }
        if (!repeated) append(items[i]);
    }
    append(items.back());
    return result;
}

}  // namespace qm
