#include "text/text_primitives.h"

#include <algorithm>
#include <cstring>

namespace qm {

namespace {

constexpr size_t npos = std::string_view::npos;

inline unsigned char fold_byte(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }
inline bool is_letter(unsigned char c) { return fold_byte(c) >= 'a' && fold_byte(c) <= 'z'; }

// How often a byte turns up in the pages searched (JSON-like feeds and HTML):
// quotes and spaces everywhere, Chinese text, digits, then field punctuation.
// Braces, brackets and the like are rarest.
inline int commonness(unsigned char c) {
    if (c == '"' || c == ' ') return 4;
    if (c >= 0x80) return 3;
    if (c >= '0' && c <= '9') return 2;
    switch (c) {
        case ',': case ':': case '=': case '/': case '<': case '>': case '.': case '-': case '_':
        case '\'': case '\\':
            return 1;
        default:
            return 0;
    }
}

bool equal_at(const unsigned char* a, std::string_view needle, bool fold) {
    if (!fold) return std::memcmp(a, needle.data(), needle.size()) == 0;
    for (size_t i = 0; i < needle.size(); ++i)
        if (fold_byte(a[i]) != fold_byte(static_cast<unsigned char>(needle[i]))) return false;
    return true;
}

// Tells whether offsets are character boundaries when boundaries are counted
// from `sync`. Any offset right after a byte below 0x80 is a boundary (such a
// byte is a whole character or a trail byte), so only the run of high bytes
// before a candidate needs looking at: its length's parity decides. The last
// known boundary is remembered, which keeps a long walk linear.
class BoundaryOracle {
public:
    BoundaryOracle(const unsigned char* text, size_t sync) : text_(text), known_(sync) {}

    bool is_boundary(size_t p) {
        if (p < known_) return false;  // never asked: candidates only move forward
        size_t q = p;
        while (q > known_ && text_[q - 1] >= 0x80) --q;
        bool boundary = ((p - q) % 2) == 0;
        known_ = boundary ? p : p - 1;
        return boundary;
    }

private:
    const unsigned char* text_;
    size_t known_;
};

}  // namespace

namespace detail {

size_t find_at_boundary(std::string_view text, std::string_view needle, size_t from, size_t sync,
                        bool fold) {
    const size_t n = text.size();
    const size_t m = needle.size();
    if (m == 0 || from > n || m > n - from) return npos;
    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const auto* nd = reinterpret_cast<const unsigned char*>(needle.data());
    BoundaryOracle oracle(t, sync);
    const size_t last = n - m;  // last offset where the needle still fits

    // Anchor the candidate search on a needle byte that case folding leaves
    // alone, so memchr can find candidates: the one likely rarest in pages,
    // which keeps the stops that fail to match few. Letters-only needles fall
    // back to the two cases of their first byte.
    size_t anchor = 0;
    bool anchor_found = !fold;
    if (fold) {
        int best = 1 << 30;
        for (size_t i = 0; i < m; ++i) {
            if (is_letter(nd[i])) continue;
            const int rank = commonness(nd[i]);
            if (rank < best) {
                best = rank;
                anchor = i;
                anchor_found = true;
            }
        }
    }

    auto scan = [&](unsigned char c, size_t at) -> size_t {
        const void* hit = std::memchr(t + at, c, last - at + 1);
        return hit ? static_cast<const unsigned char*>(hit) - t : npos;
    };
    size_t next_lower = npos, next_upper = npos;
    if (fold && !anchor_found) {
        next_lower = scan(fold_byte(nd[0]), from);
        next_upper = scan(fold_byte(nd[0]) - 32, from);
    }

    size_t p = from;
    while (p <= last) {
        size_t candidate;
        if (!fold) {
            const void* hit = memmem(t + p, n - p, nd, m);
            if (!hit) return npos;
            candidate = static_cast<const unsigned char*>(hit) - t;
        } else if (anchor_found) {
            const void* hit = std::memchr(t + p + anchor, nd[anchor], last - p + 1);
            if (!hit) return npos;
            candidate = static_cast<const unsigned char*>(hit) - t - anchor;
        } else {
            // Each case's next occurrence is kept until passed, so neither is rescanned.
            if (next_lower != npos && next_lower < p) next_lower = scan(fold_byte(nd[0]), p);
            if (next_upper != npos && next_upper < p) next_upper = scan(fold_byte(nd[0]) - 32, p);
            candidate = std::min(next_lower, next_upper);
            if (candidate == npos) return npos;
        }
        if (candidate > last) return npos;
        if (equal_at(t + candidate, needle, fold) && oracle.is_boundary(candidate)) return candidate;
        p = candidate + 1;
    }
    return npos;
}

}  // namespace detail

int find_text(std::string_view text, std::string_view needle, int start, bool ignore_case) {
    if (start < 1) start = 1;
    const size_t from = static_cast<size_t>(start) - 1;
    if (from >= text.size()) return -1;
    if (needle.empty()) return 1;
    size_t hit = detail::find_at_boundary(text, needle, from, from, ignore_case);
    return hit == npos ? -1 : static_cast<int>(hit + 1);
}

int find_last(std::string_view text, std::string_view needle, std::optional<int> before,
              bool ignore_case) {
    size_t region = text.size();
    if (before) {
        if (*before < 1) return -1;
        region = std::min(text.size(), static_cast<size_t>(*before) - 1);
    }
    if (region == 0) return -1;
    if (needle.empty()) return 1;
    std::string_view inside = text.substr(0, region);
    int result = -1;
    size_t from = 0;
    for (;;) {
        // Boundaries stay counted from the first byte; overlapping matches count.
        size_t hit = detail::find_at_boundary(inside, needle, from, 0, ignore_case);
        if (hit == npos) break;
        result = static_cast<int>(hit + 1);
        from = hit + 1;
    }
    return result;
}

std::string mid_text(std::string_view text, int start, int count) {
    if (start < 1 || static_cast<size_t>(start) > text.size() || count <= 0) return {};
    return std::string(text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(count)));
}

std::vector<std::string> split_text(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    if (separator.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    size_t from = 0;
    for (;;) {
        // The walk resumes right after a separator, so that is where boundaries restart.
        size_t hit = detail::find_at_boundary(text, separator, from, from, false);
        if (hit == npos) break;
        pieces.emplace_back(text.substr(from, hit - from));
        from = hit + separator.size();
    }
    if (from < text.size()) pieces.emplace_back(text.substr(from));
    return pieces;
}

std::string replace_text(std::string_view text, std::string_view find, std::string_view replacement,
                         bool case_sensitive) {
    std::string out;
    out.reserve(text.size());
    append_replaced(out, text, find, replacement, case_sensitive);
    return out;
}

void append_replaced(std::string& out, std::string_view text, std::string_view find,
                     std::string_view replacement, bool case_sensitive) {
    if (text.empty() || find.empty()) {
        out.append(text);
        return;
    }
    size_t from = 0;
    for (;;) {
        size_t hit = detail::find_at_boundary(text, find, from, from, !case_sensitive);
        if (hit == npos) break;
        out.append(text.substr(from, hit - from));
        out.append(replacement);
        from = hit + find.size();
    }
    out.append(text.substr(from));
}

}  // namespace qm
