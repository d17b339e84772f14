// Compares the fast primitives with a plain character-by-character walk on
// many random GBK-like texts, where trail bytes look like ASCII markers.
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "text/text_between.h"
#include "text/text_primitives.h"

namespace qm {
namespace {

// ---- the reference: one character at a time, nothing clever ----

unsigned char byte_at(const std::string& s, size_t i) { return static_cast<unsigned char>(s[i]); }
unsigned char fold(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

bool matches_at(const std::string& text, const std::string& needle, size_t i, bool ignore_case) {
    if (text.size() - i < needle.size()) return false;
    for (size_t k = 0; k < needle.size(); ++k) {
        unsigned char a = byte_at(text, i + k), b = byte_at(needle, k);
        if (ignore_case ? fold(a) != fold(b) : a != b) return false;
    }
    return true;
}

// Next character boundary after i; a lead byte at the very end ends the walk.
size_t next_char(const std::string& text, size_t i) {
    if (byte_at(text, i) >= 0x80) return i + 1 >= text.size() ? text.size() : i + 2;
    return i + 1;
}

int ref_find_text(const std::string& text, const std::string& needle, int start, bool ignore_case) {
    if (start < 1) start = 1;
    const size_t from = static_cast<size_t>(start) - 1;
    const bool region_empty = from >= text.size();
    if (needle.empty()) return region_empty ? -1 : 1;
    for (size_t i = from; i < text.size(); i = next_char(text, i))
        if (matches_at(text, needle, i, ignore_case)) return static_cast<int>(i + 1);
    return -1;
}

int ref_find_last(const std::string& text, const std::string& needle, std::optional<int> before,
                  bool ignore_case) {
    size_t region = text.size();
    if (before) region = *before < 1 ? 0 : std::min(text.size(), static_cast<size_t>(*before) - 1);
    if (needle.empty()) return region > 0 ? 1 : -1;
    int found = -1;
    for (size_t i = 0; i < text.size(); i = next_char(text, i))
        if (i + needle.size() <= region && matches_at(text, needle, i, ignore_case)) found = static_cast<int>(i + 1);
    return found;
}

std::string ref_mid(const std::string& text, long long start, long long count) {
    if (start < 1 || start > static_cast<long long>(text.size()) || count <= 0) return {};
    return text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(count));
}

std::vector<std::string> ref_split(const std::string& text, const std::string& sep) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    if (sep.empty()) return {text};
    size_t piece_start = 0, i = 0;
    while (i < text.size()) {
        if (matches_at(text, sep, i, false)) {
            pieces.push_back(text.substr(piece_start, i - piece_start));
            i += sep.size();
            piece_start = i;
        } else {
            i = next_char(text, i);
        }
    }
    if (piece_start < text.size()) pieces.push_back(text.substr(piece_start));
    return pieces;
}

std::string ref_replace(const std::string& text, const std::string& find, const std::string& with,
                        bool case_sensitive) {
    if (text.empty() || find.empty()) return text;
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        if (matches_at(text, find, i, !case_sensitive)) {
            out += with;
            i += find.size();
        } else {
            const size_t next = next_char(text, i);
            out.append(text, i, next - i);
            i = next;
        }
    }
    return out;
}

std::string ref_between(const std::string& text, const std::string& left, const std::string& right,
                        int start_offset, int end_trim, int& position, bool from_end) {
    const long long ll = static_cast<long long>(left.size());
    if (!from_end) {
        int s0 = ref_find_text(text, left, position, true);
        if (s0 == -1) return {};
        int s1 = ref_find_text(text, right, static_cast<int>(s0 + ll), true);
        if (s1 == -1) return {};
        position = s1 + static_cast<int>(right.size());
        long long start = s0 + ll + start_offset;
        return ref_mid(text, start, s1 - start - end_trim);
    }
    int s0 = ref_find_last(text, right, position >= 1 ? std::optional<int>(position) : std::nullopt, true);
    if (s0 == -1) return {};
    int s1 = ref_find_last(text, left, s0, true);
    if (s1 == -1) return {};
    position = s1;
    long long start = s1 + ll + start_offset;
    return ref_mid(text, start, s0 - start - end_trim);
}

// ---- random GBK-like inputs ----

class Inputs {
public:
    explicit Inputs(unsigned seed) : rng_(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    std::string text() {
        static const std::string ascii = "aAbB[]\\|{}\":,x";
        static const std::string leads = "\x81\xA1\xB0\xFE";
        static const std::string trails = "[]\\|aAbB{\xA1\xB0\x81";
        std::string s;
        const int chars = below(24);
        for (int i = 0; i < chars; ++i) {
            if (below(3) == 0) {
                s += leads[below(static_cast<int>(leads.size()))];
                s += trails[below(static_cast<int>(trails.size()))];
            } else {
                s += ascii[below(static_cast<int>(ascii.size()))];
            }
        }
        if (below(5) == 0) s += leads[below(static_cast<int>(leads.size()))];  // lead byte at the end
        return s;
    }

    std::string needle(const std::string& from) {
        switch (below(6)) {
            case 0: return "";
            case 1: return std::string(1, "[]\\|{"[below(5)]);
            case 2: {  // a random short run of fresh characters
                std::string t = text();
                return t.substr(0, std::min<size_t>(t.size(), 1 + below(3)));
            }
            default: {  // a piece of the text itself, maybe starting on a trail byte, letters re-cased
                if (from.empty()) return "a";
                size_t at = below(static_cast<int>(from.size()));
                std::string n = from.substr(at, 1 + below(4));
                for (char& c : n)
                    if (below(2) && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c ^= 0x20;
                return n;
            }
        }
    }

private:
    std::mt19937 rng_;
};

TEST(PrimitivesDifferential, AgreeWithCharacterWalk) {
    Inputs in(20261211);
    for (int n = 0; n < 4000; ++n) {
        const std::string text = in.text();
        const std::string needle = in.needle(text);
        const std::string other = in.needle(text);
        const int len = static_cast<int>(text.size());
        SCOPED_TRACE(::testing::Message() << "case " << n << " text '" << text << "' needle '" << needle
                                          << "' other '" << other << "'");

        for (bool fold_case : {false, true}) {
            const int start = in.below(len + 5) - 2;
            ASSERT_EQ(find_text(text, needle, start, fold_case), ref_find_text(text, needle, start, fold_case))
                << "find_text start " << start << " fold " << fold_case;
            const std::optional<int> before =
                in.below(4) == 0 ? std::nullopt : std::optional<int>(in.below(len + 5) - 1);
            ASSERT_EQ(find_last(text, needle, before, fold_case), ref_find_last(text, needle, before, fold_case))
                << "find_last before " << before.value_or(-99) << " fold " << fold_case;
            ASSERT_EQ(replace_text(text, needle, other, !fold_case), ref_replace(text, needle, other, !fold_case))
                << "replace_text";
        }
        ASSERT_EQ(split_text(text, needle), ref_split(text, needle)) << "split_text";

        const int start_offset = in.below(4) == 0 ? in.below(5) - 2 : 0;
        const int end_trim = in.below(4) == 0 ? in.below(5) - 2 : 0;
        for (bool from_end : {false, true}) {
            int pos = 0, ref_pos = 0;
            for (int step = 0; step <= len + 1; ++step) {
                std::string got = text_between(text, needle, other, start_offset, end_trim, &pos, from_end);
                std::string want = ref_between(text, needle, other, start_offset, end_trim, ref_pos, from_end);
                ASSERT_EQ(got, want) << "text_between from_end " << from_end << " step " << step;
                ASSERT_EQ(pos, ref_pos) << "text_between position, from_end " << from_end << " step " << step;
                if (got.empty()) break;
            }
        }
    }
}

}  // namespace
}  // namespace qm
