#include "text/batch_replace.h"

#include <gtest/gtest.h>

#include <random>

#include "text/gbk.h"
#include "text/regex_object.h"

namespace qm {
namespace {

TEST(BatchReplace, Table) {
    struct Case {
        const char* name;
        std::string text, finds, replacements;
        bool case_sensitive;
        std::string separator, expected;
    };
    const Case cases[] = {
        {"rules chain", "a", "a|b", "b|c", false, "|", "c"},
        {"unpaired find is deleted", "xyxy", "x|y", "1", false, "|", "11"},
        {"extra replacements ignored", "x", "x", "1|2|3", false, "|", "1"},
        {"empty rule changes nothing", "ab", "a||b", "1|2|3", false, "|", "13"},
        {"trailing separator adds no rule", "ab", "a|", "1|", false, "|", "1b"},
        {"empty separator is a bar", "ab", "a|b", "1|2", false, "", "12"},
        {"long separator keeps single bars", "a|b c|a", "a|b|||c", "x|||y", false, "|||", "x y|a"},
        {"folds ASCII by default", "abc ABC aBc", "abc", "x", false, "|", "x x x"},
        {"case sensitive", "abc ABC", "abc", "x", true, "|", "x ABC"},
        {"no rules", "abc", "", "", false, "|", "abc"},
        {"empty text", "", "a", "b", false, "|", ""},
        {"chinese rule", "好评好评"_gbk, "好"_gbk, "差"_gbk, false, "|", "差评差评"_gbk},
        {"trail byte is no match start", "\xB0|", "|", "x", false, "|||", "\xB0|"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(batch_replace(c.text, c.finds, c.replacements, c.case_sensitive, c.separator), c.expected)
            << c.name;
}

TEST(DecodeEntities, Table) {
    const std::pair<std::string, std::string> cases[] = {
        {"&amp;lt;", "&lt;"},
        {"&lt;b&gt;", "<b>"},
        {"&Prime;&prime;", "\xA1\xE5\xA1\xE4"},
        {"a&nbsp;b", "a b"},
        {"&sim;", "\xA1\xAB"},
        {"&ndash;&oplus;&perp;&quot;", "\xA8\x43\xA8\x92\xA1\xCD\""},
        {"&LT;", "&LT;"},  // names are matched exactly as written
        {"&copy;&#169;", "&copy;&#169;"},
        {"&ldquo;好&rdquo;"_gbk, "“好”"_gbk},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(decode_entities(in), out) << in;
}

// The named entities in the order they are applied, with their characters.
constexpr const char* kEntityRows[][2] = {
    {"&ndash;", "–"},  {"&mdash;", "—"}, {"&ldquo;", "“"},  {"&rdquo;", "”"},  {"&nbsp;", " "},
    {"&lt;", "<"},     {"&gt;", ">"},    {"&quot;", "\""},  {"&times;", "×"},  {"&divide;", "÷"},
    {"&middot;", "·"}, {"&hellip;", "…"}, {"&lsquo;", "‘"}, {"&rsquo;", "’"},  {"&permil;", "‰"},
    {"&prime;", "′"},  {"&Prime;", "″"}, {"&larr;", "←"},  {"&uarr;", "↑"},   {"&rarr;", "→"},
    {"&darr;", "↓"},   {"&radic;", "√"}, {"&prop;", "∝"},  {"&infin;", "∞"},  {"&ang;", "∠"},
    {"&and;", "∧"},    {"&or;", "∨"},    {"&cap;", "∩"},   {"&cup;", "∪"},    {"&int;", "∫"},
    {"&there4;", "∴"}, {"&sim;", "～"},  {"&asymp;", "≈"}, {"&ne;", "≠"},     {"&equiv;", "≡"},
    {"&le;", "≤"},     {"&ge;", "≥"},    {"&oplus;", "⊕"}, {"&perp;", "⊥"},   {"&amp;", "&"},
};

TEST(DecodeEntities, EveryRowGivesItsCharacter) {
    for (const auto& row : kEntityRows) EXPECT_EQ(gbk_to_utf8(decode_entities(row[0])), row[1]) << row[0];
}

// Decoding skips the rules that cannot apply; it must still give exactly what
// the whole rule list applied in order gives, stray lead bytes included.
TEST(DecodeEntities, SameAsTheRuleListInOrder) {
    std::string finds, characters;
    for (const auto& row : kEntityRows) {
        if (!finds.empty()) finds += '|', characters += '|';
        finds += row[0];
        characters += utf8_to_gbk(row[1]);
    }
    const std::string fragments[] = {"&", "amp;", "lt;", "&amp;", "&nbsp;", "&quot;", "&Prime;", "gt;",
                                     ";", "a", "\xB0", "\xB0&", "好"_gbk, "&ndash;", "&sim", "&#169;"};
    std::mt19937 random(7);
    for (int n = 0; n < 3000; ++n) {
        std::string text;
        const int length = static_cast<int>(random() % 8);
        for (int i = 0; i < length; ++i) text += fragments[random() % std::size(fragments)];
        ASSERT_EQ(decode_entities(text), batch_replace(text, finds, characters, true)) << text;
    }
}

TEST(DecodeEntities, StripUnknown) {
    EXPECT_EQ(decode_entities("a&copy;b&#169;c&COPY;d&lt;", true), "abcd<");
    RegexObject c;
    c.set_pattern("x");
    EXPECT_EQ(decode_entities("&reg;好"_gbk, true, &c), "好"_gbk);
    EXPECT_EQ(c.pattern(), "&[a-z]+;|&#\\d+;");
    EXPECT_EQ(decode_entities("plain", true, &c), "plain");
}

}  // namespace
}  // namespace qm
