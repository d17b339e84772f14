// Every toolkit operation takes arbitrary bytes and extreme numbers without
// failing: lone lead bytes, bytes that are no GBK, empty arguments.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

#include "text/batch_replace.h"
#include "text/char_count.h"
#include "text/dedupe_list.h"
#include "text/piece_shuffle.h"
#include "text/regex_object.h"
#include "text/text_between.h"
#include "text/text_primitives.h"
#include "text/unique_random_picker.h"

namespace qm {
namespace {

std::string random_bytes(std::mt19937& rng, size_t max_len) {
    static const std::string alphabet = "ab|,;&#[](){}*+?.^$\\\"-\r\n \x80\x81\xA1\xCD\xB0\xFF";
    std::string s(rng() % (max_len + 1), ' ');
    for (char& c : s) c = alphabet[rng() % alphabet.size()];
    return s;
}

TEST(ArbitraryBytes, NoOperationFails) {
    std::mt19937 rng(77);
    seed_random(77);
    RegexObject re;
    for (int n = 0; n < 1500; ++n) {
        const std::string text = random_bytes(rng, 24);
        const std::string a = random_bytes(rng, 4), b = random_bytes(rng, 4);

        re.set_pattern(a.empty() ? "x" : a);
        const int count = re.execute(text);
        EXPECT_GE(count, 0);
        for (int i = 0; i <= count + 1; ++i) re.match_text(i, static_cast<int>(rng() % 4) - 1);
        re.replace(text, b);
        re.test(text);

        batch_replace(text, a, b, rng() % 2, b);
        decode_entities(text, true, &re);
        EXPECT_LE(char_count(text, static_cast<int>(rng() % 4)), 2 * static_cast<int>(text.size()));
        dedupe_list(text, a, b);

        const std::string piece = pick_piece(text, a, static_cast<int>(rng() % 3), b);
        // Separators turn into the two-byte piece mark, so a piece may grow.
        EXPECT_LE(piece.size(), 2 * text.size());
        shuffle_pieces(text, a);

        for (int pos : {INT_MIN, -1, 0, 1, static_cast<int>(text.size()), INT_MAX}) {
            for (bool from_end : {false, true}) {
                int p = pos;
                std::string got = text_between(text, a, b, static_cast<int>(rng() % 3) - 1,
                                               static_cast<int>(rng() % 3) - 1, &p, from_end);
                EXPECT_NE(text.find(got), std::string::npos);
                text_between_lenient(text, a, b, INT_MAX, INT_MIN, &p, from_end);
            }
        }
        EXPECT_EQ(mid_text(text, INT_MIN, INT_MAX), "");
        EXPECT_EQ(find_text(text, a, INT_MAX), -1);
        EXPECT_EQ(find_last(text, a, INT_MIN), -1);
    }
}

}  // namespace
}  // namespace qm
