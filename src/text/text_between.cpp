#include "text/text_between.h"

#include "text/text_primitives.h"

namespace qm {

std::string text_between(std::string_view text, std::string_view left, std::string_view right,
                         int start_offset, int end_trim, int* position, bool from_end) {
    int scratch = 0;
    int& pos = position ? *position : scratch;
    const int left_len = static_cast<int>(left.size());
    const int right_len = static_cast<int>(right.size());
    // 64-bit arithmetic: huge offsets from a caller must not overflow.
    auto cut = [&](long long start, long long end) {
        long long count = end - start - end_trim;
        if (start < 1 || start > static_cast<long long>(text.size()) || count <= 0) return std::string();
        return mid_text(text, static_cast<int>(start), static_cast<int>(std::min<long long>(count, text.size())));
    };

    if (!from_end) {
        int s0 = find_text(text, left, pos, true);
        if (s0 == -1) return {};
        int s1 = find_text(text, right, s0 + left_len, true);
        if (s1 == -1) return {};
        pos = s1 + right_len;
        return cut(static_cast<long long>(s0) + left_len + start_offset, s1);
    }

    int s0 = pos >= 1 ? find_last(text, right, pos, true) : find_last(text, right, std::nullopt, true);
    if (s0 == -1) return {};
    int s1 = find_last(text, left, s0, true);
    if (s1 == -1) return {};
    pos = s1;
    return cut(static_cast<long long>(s1) + left_len + start_offset, s0);
}

std::string text_between_lenient(std::string_view text, std::string_view left,
                                 std::string_view right, int start_offset, int end_trim,
                                 int* position, bool from_end) {
    std::string found = text_between(text, left, right, start_offset, end_trim, position, from_end);
    if (!found.empty()) return found;
    return text_between(text, replace_text(left, "\"", ""), replace_text(right, "\"", ""),
                        start_offset, end_trim, position, from_end);
}

}  // namespace qm
