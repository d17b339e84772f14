#include "text/text_between.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(TextBetween, ForwardFindsAndAdvances) {
    int pos = 0;
    EXPECT_EQ(text_between("a<b>c</b>d", "<b>", "</b>", 0, 0, &pos), "c");
    EXPECT_EQ(pos, 10);
}

TEST(TextBetween, ForwardWalk) {
    const std::string page = "<li>1</li><li>2</li>";
    int pos = 0;
    EXPECT_EQ(text_between(page, "<li>", "</li>", 0, 0, &pos), "1");
    EXPECT_EQ(text_between(page, "<li>", "</li>", 0, 0, &pos), "2");
    EXPECT_EQ(text_between(page, "<li>", "</li>", 0, 0, &pos), "");
    EXPECT_EQ(pos, 21);
}

TEST(TextBetween, BackwardWalk) {
    int pos = 0;
    EXPECT_EQ(text_between("{x}{y}", "{", "}", 0, 0, &pos, true), "y");
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(text_between("{x}{y}", "{", "}", 0, 0, &pos, true), "x");
    EXPECT_EQ(pos, 1);
    EXPECT_EQ(text_between("{x}{y}", "{", "}", 0, 0, &pos, true), "");
    EXPECT_EQ(pos, 1);
}

TEST(TextBetween, MarkersFoldAsciiOnly) {
    EXPECT_EQ(text_between("<B>x</B>", "<b>", "</b>"), "x");
    EXPECT_EQ(text_between("\xA3\xC1x\xA3\xC1", "\xA3\xE1", "\xA3\xE1"), "");
}

TEST(TextBetween, MarkerInsideTrailByteIsNotFound) {
    // "[" is the trail byte of 0xB0 0x5B; only the real "[" after it counts.
    EXPECT_EQ(text_between("\xB0[a]b[c]", "[", "]"), "c");
}

TEST(TextBetween, EmptyMarkers) {
    int pos = 0;
    EXPECT_EQ(text_between("abc", "a", "", 0, 0, &pos), "");
    EXPECT_EQ(text_between("abc]", "", "]"), "abc");
}

TEST(TextBetween, MissingMarkerLeavesPosition) {
    int pos = 3;
    EXPECT_EQ(text_between("a<b>c", "<b>", "</b>", 0, 0, &pos), "");
    EXPECT_EQ(pos, 3);
}

TEST(TextBetween, OffsetsAndHugeValues) {
    EXPECT_EQ(text_between("[abcd]", "[", "]", 1, 1), "bc");
    EXPECT_EQ(text_between("[abcd]", "[", "]", 2147483647, 0), "");
    EXPECT_EQ(text_between("[abcd]", "[", "]", -2147483647, 0), "");
    EXPECT_EQ(text_between("[abcd]", "[", "]", 0, -2147483647), "abcd]");
}

TEST(TextBetweenLenient, RetriesWithoutQuotes) {
    EXPECT_EQ(text_between_lenient("<div class=a b>x</div>", "<div class=\"a b\">", "</div>"), "x");
    EXPECT_EQ(text_between_lenient("<div class=\"a b\">y</div>", "<div class=\"a b\">", "</div>"),
              "y");
}

}  // namespace
}  // namespace qm
