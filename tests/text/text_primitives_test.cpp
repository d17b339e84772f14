#include "text/text_primitives.h"

#include <gtest/gtest.h>

#include "text/gbk.h"

namespace qm {
namespace {

struct FindCase {
    const char* name;
    std::string text, needle;
    int start;
    bool fold;
    int expected;
};

TEST(FindText, Table) {
    const std::string hao = "好"_gbk;  // BA C3
    const FindCase cases[] = {
        {"plain", "abcabc", "bc", 1, false, 2},
        {"from start", "abcabc", "bc", 3, false, 5},
        {"start below 1", "abc", "a", -5, false, 1},
        {"start past end", "abc", "a", 4, false, -1},
        {"empty needle", "abc", "", 3, false, 1},
        {"empty needle, empty region", "abc", "", 4, false, -1},
        {"empty text", "", "a", 1, false, -1},
        {"fold", "xABc", "ab", 1, true, 2},
        {"no fold", "xABc", "ab", 1, false, -1},
        {"fold letters only", "aaaaBAB", "bab", 1, true, 5},
        {"full width not folded", "\xA3\xC1", "\xA3\xE1", 1, true, -1},
        {"trail byte never starts a match", "\x81" "A", "A", 1, false, -1},
        {"after a two-byte char", "\x81" "AA", "A", 1, false, 3},
        {"lead byte at the end", "a\x81", "\x81", 1, false, 2},
        {"needle longer than rest", "ab", "abc", 1, false, -1},
        {"chinese", "很"_gbk + hao + hao, hao, 1, false, 3},
        {"start inside a character walks from there", "\x81" "A", "A", 2, false, 2},
        {"trail byte equal to a marker", "\xB0[\xB0[[", "[", 1, true, 5},
    };
    for (const auto& c : cases)
        EXPECT_EQ(find_text(c.text, c.needle, c.start, c.fold), c.expected) << c.name;
}

TEST(FindLast, Table) {
    EXPECT_EQ(find_last("abcabc", "bc"), 5);
    EXPECT_EQ(find_last("abcabc", "bc", 6), 2);  // must end before position 6
    EXPECT_EQ(find_last("abcabc", "bc", 7), 5);
    EXPECT_EQ(find_last("abcabc", "bc", 0), -1);
    EXPECT_EQ(find_last("abcabc", "bc", 100), 5);
    EXPECT_EQ(find_last("aaa", "aa"), 2);  // overlapping matches count
    EXPECT_EQ(find_last("abc", ""), 1);
    EXPECT_EQ(find_last("", ""), -1);
    EXPECT_EQ(find_last("xAB", "ab", std::nullopt, true), 2);
    EXPECT_EQ(find_last("A\x81" "A", "A"), 1);
}

TEST(MidText, ClipsButDoesNotClampStart) {
    EXPECT_EQ(mid_text("abc", 0, 2), "");
    EXPECT_EQ(mid_text("abc", 2, 10), "bc");
    EXPECT_EQ(mid_text("abc", 4, 1), "");
    EXPECT_EQ(mid_text("abc", 1, -1), "");
    EXPECT_EQ(mid_text("abc", 1, 2147483647), "abc");
}

TEST(SplitText, Table) {
    using V = std::vector<std::string>;
    EXPECT_EQ(split_text("a,,b", ","), (V{"a", "", "b"}));
    EXPECT_EQ(split_text(",a", ","), (V{"", "a"}));
    EXPECT_EQ(split_text("a,", ","), (V{"a"}));
    EXPECT_EQ(split_text("", ","), V{});
    EXPECT_EQ(split_text("abc", ""), (V{"abc"}));
    EXPECT_EQ(split_text("a|||b|||", "|||"), (V{"a", "b"}));
    // A "|" hidden as the trail byte of a two-byte character does not split.
    EXPECT_EQ(split_text("\x81|x|y", "|"), (V{"\x81|x", "y"}));
}

TEST(ReplaceText, Table) {
    EXPECT_EQ(replace_text("aAa", "a", "x", false), "xxx");
    EXPECT_EQ(replace_text("aAa", "a", "x", true), "xAx");
    EXPECT_EQ(replace_text("aaa", "aa", "a"), "aa");  // no overlap, no re-search
    EXPECT_EQ(replace_text("abc", "", "x"), "abc");
    EXPECT_EQ(replace_text("", "a", "x"), "");
    EXPECT_EQ(replace_text("\x81" "a" "a", "a", "b"), "\x81" "ab");
}

}  // namespace
}  // namespace qm
