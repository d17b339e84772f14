#include "text/char_count.h"

#include <gtest/gtest.h>

#include <string>

#include "text/gbk.h"

namespace qm {
namespace {

TEST(CharCount, Table) {
    struct Case {
        std::string text;
        int mode, expected;
    };
    const Case cases[] = {
        {"好评ok"_gbk, 0, 4},
        {"a\r\nb", 0, 2},
        {"a\r\nb", 1, 3},
        {"a\r\nb", 2, 4},
        {"\r\n\r\n\n", 0, 0},
        {"\r\r", 2, 0},
        {"", 0, 0},
        // The half-flag runs across one-byte characters and line breaks.
        {"\x81" "a\x81", 0, 2},
        {"\x81\r", 1, 1},
        {"\x81", 0, 0},  // a lead byte alone at the end
        {"好\n", 5, 2},   // modes other than 0 and 2 handle breaks as mode 1
    };
    for (const auto& c : cases) EXPECT_EQ(char_count(c.text, c.mode), c.expected) << c.text << " mode " << c.mode;
}

}  // namespace
}  // namespace qm
