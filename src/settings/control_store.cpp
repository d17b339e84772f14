#include "settings/control_store.h"

namespace qm {

namespace {

template <class Map, class Value>
Value value_or(const Map& map, std::string_view control, Value missing) {
    auto it = map.find(control);
    return it == map.end() ? missing : it->second;
}

template <class Map, class Value>
void store(Map& map, std::string_view control, Value value) {
    auto it = map.find(control);
    if (it == map.end())
        map.emplace(std::string(control), std::move(value));
    else
        it->second = std::move(value);
}

}  // namespace

std::string ControlStore::text(std::string_view control) {
    return value_or(texts_, control, std::string());
}

void ControlStore::set_text(std::string_view control, std::string_view value) {
    store(texts_, control, std::string(value));
}

bool ControlStore::is_checked(std::string_view control) {
    return value_or(checked_, control, false);
}

void ControlStore::set_checked(std::string_view control, bool checked) {
    store(checked_, control, checked);
}

int ControlStore::selected_index(std::string_view control) {
    return value_or(indexes_, control, -1);
}

void ControlStore::set_selected_index(std::string_view control, int index) {
    store(indexes_, control, index);
}

bool ControlStore::has(std::string_view control) const {
    return texts_.contains(control) || checked_.contains(control) || indexes_.contains(control);
}

}  // namespace qm
