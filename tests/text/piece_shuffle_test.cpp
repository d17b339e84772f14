#include "text/piece_shuffle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <string>
#include <vector>

#include "text/gbk.h"
#include "text/pending_events.h"
#include "text/text_primitives.h"
#include "text/unique_random_picker.h"

namespace qm {
namespace {

TEST(UniqueRandomPicker, DrawsEachNumberOncePerCycle) {
    seed_random(1);
    UniqueRandomPicker picker;
    for (int cycle = 0; cycle < 3; ++cycle) {
        std::set<int> seen;
        for (int i = 0; i < 3; ++i) seen.insert(picker.draw(1, 3));
        EXPECT_EQ(seen, (std::set<int>{1, 2, 3}));
    }
}

TEST(UniqueRandomPicker, RangeIsReadOnlyWhenRefilled) {
    seed_random(2);
    UniqueRandomPicker picker;
    int first = picker.draw(1, 3);
    int second = picker.draw(5, 9);
    EXPECT_NE(first, second);
    EXPECT_TRUE(second >= 1 && second <= 3);
    picker.reset();
    int third = picker.draw(5, 9);
    EXPECT_TRUE(third >= 5 && third <= 9);
}

TEST(UniqueRandomPicker, EdgeRanges) {
    UniqueRandomPicker picker;
    EXPECT_EQ(picker.draw(4, 2), 4);  // empty pool, no numbers to give
    EXPECT_EQ(picker.draw(7, 7), 7);
    EXPECT_EQ(picker.draw(-3, -3), -3);
    // The widest range costs nothing up front and stays inside it.
    std::set<int> seen;
    for (int i = 0; i < 1000; ++i) seen.insert(picker.draw(INT_MIN, INT_MAX));
    EXPECT_EQ(seen.size(), 1000u);
}

TEST(UniqueRandomPicker, EveryOrderTurnsUp) {
    // Reseeding per draw from a coarse clock repeats numbers; one seeded generator does not.
    seed_random(3);
    std::set<std::vector<int>> orders;
    for (int i = 0; i < 200; ++i) {
        UniqueRandomPicker picker;
        std::vector<int> order;
        for (int j = 0; j < 3; ++j) order.push_back(picker.draw(1, 3));
        orders.insert(order);
    }
    EXPECT_EQ(orders.size(), 6u);
}

TEST(RandomBetween, StaysInRangeAndIsReproducible) {
    seed_random(9);
    std::vector<int> a;
    for (int i = 0; i < 50; ++i) a.push_back(random_between(1, 10));
    seed_random(9);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(random_between(1, 10), a[i]);
    EXPECT_TRUE(std::all_of(a.begin(), a.end(), [](int v) { return v >= 1 && v <= 10; }));
    EXPECT_EQ(random_between(5, 5), 5);
    EXPECT_EQ(random_between(5, 1), 5);
}

TEST(PickPiece, ReturnsAQualifyingClause) {
    const std::string comma = "，"_gbk;
    const std::string text = "好，很好，非常好"_gbk;
    const std::set<std::string> clauses = {"好"_gbk, "很好"_gbk, "非常好"_gbk};
    std::set<std::string> seen;
    seed_random(4);
    for (int i = 0; i < 60; ++i) seen.insert(pick_piece(text, comma));
    EXPECT_EQ(seen, clauses);

    for (int i = 0; i < 20; ++i) EXPECT_EQ(pick_piece(text, comma, 3), "非常好"_gbk);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(pick_piece(text, comma, 0, "很"_gbk), "很好"_gbk);
    EXPECT_EQ(pick_piece("无分隔"_gbk, comma), "无分隔"_gbk);
    EXPECT_EQ(pick_piece(comma + comma, comma), "");
    EXPECT_EQ(pick_piece("", comma), "");
    // None long enough: one of the pieces all the same.
    EXPECT_TRUE(clauses.count(pick_piece(text, comma, 10)));
}

TEST(PickPiece, RunsEventsOncePerStep) {
    int runs = 0;
    set_pending_events_hook([&] {
        ++runs;
        return false;
    });
    pick_piece("a,b,c", ",", 5);  // nothing qualifies: all three steps run
    set_pending_events_hook({});
    EXPECT_EQ(runs, 3);
}

TEST(PickPiece, SeparatorsAreExactlyTheGivenCharacters) {
    seed_random(5);
    // A hyphen between two separators is one more separator, not a range.
    for (int i = 0; i < 20; ++i) {
        std::string piece = pick_piece("xy+zw", "+-.", 2);
        EXPECT_TRUE(piece == "xy" || piece == "zw") << piece;
    }
    EXPECT_EQ(pick_piece("a]b", "]", 0, "b"), "b");
    // The piece mark already in the text cuts too.
    EXPECT_EQ(pick_piece("ab\xA1\xCD" "cd", ",", 0, "c"), "cd");
}

std::vector<std::string> words_of(const std::string& s) { return split_text(s, " "); }

TEST(ShufflePieces, WordsComeBackInSomeOrder) {
    seed_random(6);
    std::set<std::string> seen;
    for (int i = 0; i < 100; ++i) {
        std::string r = shuffle_pieces("a b c", " ");
        auto w = words_of(r);
        std::sort(w.begin(), w.end());
        EXPECT_EQ(w, (std::vector<std::string>{"a", "b", "c"})) << r;
        EXPECT_EQ(r.size(), 5u) << r;
        seen.insert(r);
    }
    EXPECT_EQ(seen.size(), 6u);
    EXPECT_EQ(shuffle_pieces("abc", " "), "abc");
    EXPECT_EQ(shuffle_pieces("", " "), "");
    EXPECT_EQ(shuffle_pieces("a b", ""), "a b");
}

TEST(ShufflePieces, DoubleSpaceMayBecomeLineBreak) {
    seed_random(7);
    bool line_break = false, trailing_space = false;
    for (int i = 0; i < 300; ++i) {
        std::string r = shuffle_pieces("a  b", " ");
        std::string letters = replace_text(replace_text(replace_text(r, " ", ""), "\r\n", ""), "ba", "ab");
        EXPECT_EQ(letters, "ab") << r;
        line_break |= r.find("\r\n") != std::string::npos;
        trailing_space |= !r.empty() && r.back() == ' ';
    }
    EXPECT_TRUE(line_break);
    EXPECT_TRUE(trailing_space);
}

TEST(ShufflePieces, SeparatorsAreDrawnWithoutRepetition) {
    seed_random(8);
    for (int i = 0; i < 30; ++i) {
        // The first word draws a separator too (and drops it), so the two
        // joiners are the 2nd and 3rd draws of one cycle of three: different.
        std::string r = shuffle_pieces("x,y;z", ",;:");
        ASSERT_EQ(r.size(), 5u);
        EXPECT_NE(r[1], r[3]) << r;
        EXPECT_TRUE(std::string(",;:").find(r[1]) != std::string::npos) << r;
    }
    // Chinese separators come back whole.
    std::string r = shuffle_pieces("甲，乙"_gbk, "，"_gbk);
    EXPECT_TRUE(r == "甲，乙"_gbk || r == "乙，甲"_gbk);
}

}  // namespace
}  // namespace qm
