#include "market_sim.h"

#include <cctype>
#include <charconv>
#include <fstream>
#include <sstream>

namespace qm::sim {

Item* Fixture::find_item(std::string_view id) {
    for (Item& item : items)
        if (item.id == id) return &item;
    return nullptr;
}

const Item* Fixture::find_item(std::string_view id) const {
    for (const Item& item : items)
        if (item.id == id) return &item;
    return nullptr;
}

std::string garbage_bytes(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 0x2545F491u;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        char c = static_cast<char>((state >> 24) | 1);  // never NUL
        bytes[i] = c;
    }
    if (size > 0) bytes[size / 2] = '\0';
    return bytes;
}

namespace {

std::string trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

std::vector<std::string> split(std::string_view s, std::string_view sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t at = s.find(sep, start);
        if (at == std::string_view::npos) {
            parts.emplace_back(s.substr(start));
            return parts;
        }
        parts.emplace_back(s.substr(start, at - start));
        start = at + sep.size();
    }
}

std::vector<std::string> words(std::string_view s) {
    std::vector<std::string> out;
    std::istringstream in{std::string(s)};
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

bool to_int(std::string_view s, long long& out) {
    std::string t = trim(s);
    if (t.empty()) return false;
    auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
    return ec == std::errc() && p == t.data() + t.size();
}

// "\n" in a fixture value is a line break; "\\" a backslash.
std::string unescape(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            if (s[i + 1] == 'n') { out += '\n'; ++i; continue; }
            if (s[i + 1] == '\\') { out += '\\'; ++i; continue; }
        }
        out += s[i];
    }
    return out;
}

bool parse_fault_kind(std::string_view name, FaultKind& kind) {
    static const std::pair<std::string_view, FaultKind> kinds[] = {
        {"delay", FaultKind::Delay},       {"hang", FaultKind::Hang},
        {"reset", FaultKind::Reset},       {"error", FaultKind::ServerError},
        {"garbage", FaultKind::Garbage},   {"huge", FaultKind::Huge},
        {"redirect", FaultKind::RedirectChain}, {"antirobot", FaultKind::AntiRobot},
    };
    for (const auto& [n, k] : kinds)
        if (n == name) { kind = k; return true; }
    return false;
}

bool apply_fault_key(Fault& fault, std::string_view key, std::string_view value) {
    long long n = 0;
    if (key == "kind") return parse_fault_kind(trim(value), fault.kind);
    if (key == "match") { fault.match = trim(value); return true; }
    if (key == "where") {
        std::string w = trim(value);
        if (w == "any") fault.where = FaultWhere::Any;
        else if (w == "item") fault.where = FaultWhere::ItemPage;
        else if (w == "rate") fault.where = FaultWhere::ReviewList;
        else return false;
        return true;
    }
    if (!to_int(value, n) || n < 0) return false;
    if (key == "after") fault.after = static_cast<int>(n);
    else if (key == "ms") fault.delay_ms = static_cast<int>(n);
    else if (key == "size") fault.size = static_cast<std::size_t>(n);
    else return false;
    return true;
}

// "delay where=rate ms=300 after=2"
bool parse_fault_line(std::string_view text, Fault& fault) {
    std::vector<std::string> parts = words(text);
    if (parts.empty() || !parse_fault_kind(parts[0], fault.kind)) return false;
    for (size_t i = 1; i < parts.size(); ++i) {
        size_t eq = parts[i].find('=');
        if (eq == std::string::npos) return false;
        if (!apply_fault_key(fault, parts[i].substr(0, eq), parts[i].substr(eq + 1))) return false;
    }
    return true;
}

bool parse_rate(std::string_view text, RateType& rate) {
    std::string t = trim(text);
    if (t.empty() || t == "good") rate = RateType::Good;
    else if (t == "neutral") rate = RateType::Neutral;
    else if (t == "bad") rate = RateType::Bad;
    else return false;
    return true;
}

// "buyer | date | good | content | 颜色分类:黑色;尺码:XL | follow-up"
bool parse_review(std::string_view text, Review& review) {
    std::vector<std::string> f = split(text, " | ");
    if (f.size() > 6) return false;
    f.resize(6);
    review.buyer = trim(f[0]);
    review.date = trim(f[1]);
    if (!parse_rate(f[2], review.rate)) return false;
    review.content = unescape(trim(f[3]));
    for (const std::string& pair : split(trim(f[4]), ";")) {
        std::string p = trim(pair);
        if (p.empty()) continue;
        size_t colon = p.find(':');
        if (colon == std::string::npos) return false;
        review.attributes.push_back({trim(p.substr(0, colon)), trim(p.substr(colon + 1))});
    }
    review.append = unescape(trim(f[5]));
    return true;
}

enum class Section { Top, Item, Search, Shop, Fault };

bool apply(Fixture& fx, Section section, const std::string& key, const std::string& value) {
    long long n = 0;
    switch (section) {
    case Section::Top:
        if (key == "page_size" && to_int(value, n) && n > 0) { fx.page_size = static_cast<int>(n); return true; }
        return false;
    case Section::Item: {
        Item& item = fx.items.back();
        if (key == "id") item.id = value;
        else if (key == "market") {
            if (value == "taobao") item.market = Market::Taobao;
            else if (value == "tmall") item.market = Market::Tmall;
            else return false;
        } else if (key == "title") item.title = value;
        else if (key == "seller") item.seller_id = value;
        else if (key == "page_size") {
            if (!to_int(value, n) || n < 0) return false;
            item.page_size = static_cast<int>(n);
        } else if (key == "extra_html") item.extra_html += unescape(value);
        else if (key == "review") {
            Review r;
            if (!parse_review(value, r)) return false;
            item.reviews.push_back(std::move(r));
        } else if (key == "fault") {
            Fault f;
            if (!parse_fault_line(value, f)) return false;
            item.faults.push_back(std::move(f));
        } else return false;
        return true;
    }
    case Section::Search: {
        Search& s = fx.searches.back();
        if (key == "keyword") s.keyword = value;
        else if (key == "sort") s.sort = value;
        else if (key == "layout") {
            if (value != "list" && value != "grid") return false;
            s.grid = value == "grid";
        } else if (key == "unquoted") s.unquoted = value == "1" || value == "true";
        else if (key == "per_page") {
            if (!to_int(value, n) || n <= 0) return false;
            s.per_page = static_cast<int>(n);
        } else if (key == "ids") {
            for (auto& w : words(value)) s.item_ids.push_back(w);
        } else return false;
        return true;
    }
    case Section::Shop: {
        Shop& s = fx.shops.back();
        if (key == "host") s.host = value;
        else if (key == "per_page") {
            if (!to_int(value, n) || n <= 0) return false;
            s.per_page = static_cast<int>(n);
        } else if (key == "ids") {
            for (auto& w : words(value)) s.item_ids.push_back(w);
        } else return false;
        return true;
    }
    case Section::Fault:
        return apply_fault_key(fx.path_faults.back(), key, value);
    }
    return false;
}

}  // namespace

std::optional<Fixture> parse_fixture(std::string_view text, std::string* error) {
    Fixture fx;
    Section section = Section::Top;
    int line_no = 0;
    auto fail = [&](const std::string& why) -> std::optional<Fixture> {
        if (error) *error = "line " + std::to_string(line_no) + ": " + why;
        return std::nullopt;
    };
    for (const std::string& raw : split(text, "\n")) {
        ++line_no;
        std::string line = trim(raw);
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[') {
            if (line.back() != ']') return fail("bad section header");
            std::string name = trim(std::string_view(line).substr(1, line.size() - 2));
            if (name == "item") { section = Section::Item; fx.items.emplace_back(); }
            else if (name == "search") { section = Section::Search; fx.searches.emplace_back(); }
            else if (name == "shop") { section = Section::Shop; fx.shops.emplace_back(); }
            else if (name == "fault") { section = Section::Fault; fx.path_faults.emplace_back(); }
            else return fail("unknown section [" + name + "]");
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos) return fail("expected key = value");
        std::string key = trim(std::string_view(line).substr(0, eq));
        std::string value = trim(std::string_view(line).substr(eq + 1));
        if (!apply(fx, section, key, value)) return fail("bad setting \"" + key + "\"");
    }
    for (const Item& item : fx.items)
        if (item.id.empty()) return fail("an [item] without id");
    return fx;
}

std::optional<Fixture> load_fixture(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = "cannot open " + path;
        return std::nullopt;
    }
    std::ostringstream all;
    all << in.rdbuf();
    return parse_fixture(all.str(), error);
}

}  // namespace qm::sim
