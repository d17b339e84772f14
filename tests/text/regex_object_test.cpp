#include "text/regex_object.h"

#include <gtest/gtest.h>

#include "text/gbk.h"

namespace qm {
namespace {

TEST(RegexObject, ItemIdFromAddress) {
    RegexObject re;
    re.set_pattern("[&\\?]id=(\\d{5,})");
    EXPECT_EQ(re.execute("https://item.taobao.com/item.htm?spm=a1.2&id=12345678&ns=1"), 1);
    EXPECT_EQ(re.match_text(1, 1), "12345678");
    EXPECT_EQ(re.match_text(1, 0), "&id=12345678");
    EXPECT_EQ(re.submatch_count(), 1);

    EXPECT_EQ(re.execute("12345678"), 0);
    EXPECT_EQ(re.match_text(1, 1), "");
    EXPECT_EQ(re.submatch_count(), 0);

    EXPECT_EQ(re.execute("?id=1234"), 0);  // fewer than five digits
    EXPECT_EQ(re.execute("?ID=99999"), 1);  // ignore_case
}

TEST(RegexObject, PlaceholdersCountChineseAsOneCharacter) {
    RegexObject re;
    re.set_pattern("#.+?#");
    const std::string tpl = "好评：#评论#，来自#买家#。"_gbk;
    EXPECT_EQ(re.execute(tpl), 2);
    EXPECT_EQ(re.match_text(1, 0), "#评论#"_gbk);
    EXPECT_EQ(re.match_text(2, 0), "#买家#"_gbk);
    EXPECT_EQ(re.match_text(3, 0), "");
    EXPECT_EQ(re.match_text(0, 0), "");

    re.set_pattern("^.{2}$");
    EXPECT_TRUE(re.test("好评"_gbk));
    EXPECT_FALSE(re.test("好评啊"_gbk));
    // A trail byte equal to "[" or "\\" is part of a character, not a class or escape.
    re.set_pattern("\xB0[");  // GBK B0 5B is one character
    EXPECT_EQ(re.execute("x\xB0[y"), 1);
    EXPECT_EQ(re.match_text(1), "\xB0[");
}

TEST(RegexObject, WhitespaceAndEntities) {
    RegexObject re;
    EXPECT_EQ(re.replace("a b\tc\r\nd\x0B" "e\x0C" "f", "", "[\\s\\r\\n]"), "abcdef");
    // \s stays ASCII: the full-width space is kept.
    EXPECT_EQ(re.replace("a\xA1\xA1" "b", ""), "a\xA1\xA1" "b");

    EXPECT_EQ(re.replace("x&copy;y&#169;z&AMP;w&;", "", "&[a-z]+;|&#\\d+;"), "xyzw&;");
    EXPECT_EQ(re.replace("id=7 id=42", "<$1>", "id=(\\d+)"), "<7> <42>");
}

TEST(RegexObject, SetPatternCompilesOnlyOnChange) {
    RegexObject re;
    EXPECT_EQ(re.flags(), 0);
    EXPECT_TRUE(re.set_pattern(""));
    EXPECT_EQ(re.flags(), 7);
    EXPECT_EQ(re.pattern(), "");

    re.set_pattern("a+");
    re.set_pattern("a+");
    EXPECT_EQ(re.execute("aa"), 1);
    re.set_pattern("a+");
    EXPECT_EQ(re.execute("caa"), 1);
    EXPECT_EQ(re.compile_count(), 1);

    // An empty pattern keeps the current one but takes the flags.
    re.set_pattern("", false, true, true);
    EXPECT_EQ(re.pattern(), "a+");
    EXPECT_EQ(re.flags(), 6);
    EXPECT_FALSE(re.test("AA"));
    EXPECT_EQ(re.compile_count(), 2);

    // Only the global flag changed: the compiled pattern is kept.
    re.set_pattern("a+", false, true, false);
    EXPECT_EQ(re.execute("a-a"), 1);
    EXPECT_EQ(re.compile_count(), 2);
}

TEST(RegexObject, GlobalAndEmptyMatches) {
    RegexObject re;
    re.set_pattern("a", true, true, false);
    EXPECT_EQ(re.execute("aXa"), 1);
    EXPECT_EQ(re.replace("aXa", "b"), "bXa");

    // Empty matches advance by one character, a Chinese character included.
    re.set_pattern("x*");
    EXPECT_EQ(re.replace("a好c"_gbk, "-"), "-a-好-c-"_gbk);
    EXPECT_EQ(re.execute("a好"_gbk), 3);
    // After a non-empty match an empty one may follow at its end.
    EXPECT_EQ(re.replace("baaac", "-", "a*"), "-b--c-");
    EXPECT_EQ(re.replace("", "-", "a*"), "-");
}

TEST(RegexObject, MultilineAnchorsAtEveryLineEnd) {
    RegexObject re;
    re.set_pattern("^\\w+$");
    for (const std::string text : {"ab\ncd\nef", "ab\rcd\ref", "ab\r\ncd\r\nef"}) {
        ASSERT_EQ(re.execute(text), 3) << text;
        EXPECT_EQ(re.match_text(1), "ab");
        EXPECT_EQ(re.match_text(2), "cd");
        EXPECT_EQ(re.match_text(3), "ef");
    }
    // CR LF is one line end: nothing is inserted between CR and LF.
    EXPECT_EQ(re.replace("a\r\nb", "[$&]", "^|$"), "[]a[]\r\n[]b[]");
    EXPECT_EQ(re.replace("a\r\n\r\nb", "-", "^"), "-a\r\n-\r\n-b");
    EXPECT_EQ(re.replace("a\rb\nc", "-", "^"), "-a\r-b\n-c");

    re.set_pattern("^b", true, false, true);
    EXPECT_FALSE(re.test("a\nb"));
    re.set_pattern("a$", true, false, true);
    EXPECT_FALSE(re.test("a\n"));  // without multiline $ is the very end only
}

TEST(RegexObject, ReplacementTokens) {
    struct Case {
        const char* pattern;
        const char* replacement;
        const char* expected;
    };
    // Subject "xaby": the match is "ab".
    const Case cases[] = {
        {"(a)(b)", "$2$1", "xbay"},
        {"(a)(b)", "$$", "x$y"},
        {"(a)(b)", "[$&]", "x[ab]y"},
        {"(a)(b)", "[$`]", "x[x]y"},
        {"(a)(b)", "[$']", "x[y]y"},
        {"(a)(b)", "$12", "xa2y"},      // no group 12: group 1 then a literal 2
        {"(a)(b)", "$01", "xay"},       // two digits naming group 1
        {"(a)(b)", "$0", "x$0y"},
        {"(a)(b)", "$3", "x$3y"},       // no such group
        {"(a)(b)", "$", "x$y"},
        {"(a)(b)", "$x", "x$xy"},
        {"(a)|(z)", "[$2]", "x[]by"},   // a group that took no part is empty
        {"(a)(b)(c)?(d)?(e)?(f)?(g)?(h)?(i)?(j)?(k)?", "$11|$10|$1", "x||ay"},
    };
    for (const auto& c : cases) {
        RegexObject re;
        EXPECT_EQ(re.replace("xaby", c.replacement, c.pattern), c.expected) << c.pattern << " / " << c.replacement;
    }
    RegexObject re;
    EXPECT_EQ(re.replace("xaby", "$11", "(a)(b)(c)?(d)?(e)?(f)?(g)?(h)?(i)?(j)?(k)?"), "xy");
    EXPECT_EQ(re.replace("好评"_gbk, "$1$1", "(评)"_gbk), "好评评"_gbk);
}

TEST(RegexObject, RejectedAndRunawayPatternsGiveNothing) {
    RegexObject re;
    for (const char* bad : {"(", "[a", "a{2,1}", "*", "(?<n>a)(?<n>b)"}) {
        re.set_pattern(bad);
        EXPECT_EQ(re.execute("((a[a*"), 0) << bad;
        EXPECT_FALSE(re.test("((a[a*")) << bad;
        EXPECT_EQ(re.match_text(1), "") << bad;
        EXPECT_EQ(re.replace("((a[a*", "x"), "") << bad;
        EXPECT_EQ(re.submatch_count(), 0) << bad;
    }
    // A good pattern afterwards works again.
    re.set_pattern("a");
    EXPECT_EQ(re.execute("aa"), 2);

    const std::string runaway = std::string(40, 'a') + "b";
    re.set_pattern("(a+)+$");
    EXPECT_EQ(re.execute(runaway), 0);
    EXPECT_EQ(re.match_count(), 0);
    EXPECT_FALSE(re.test(runaway));
    EXPECT_EQ(re.replace(runaway, "x"), "");
    // The same pattern on a harmless text still matches.
    EXPECT_EQ(re.execute("aaa"), 1);
}

TEST(RegexObject, EcmaScriptStyleEscapes) {
    RegexObject re;
    // Users of that engine write Chinese ranges as \uhhhh.
    EXPECT_EQ(re.replace("ab好评12"_gbk, "", "[\\u4e00-\\u9fa5]"), "ab12");
    EXPECT_EQ(re.replace("a1\xA3\xB1", "#", "\\d"), "a#\xA3\xB1");  // full-width digit is no \d
}

TEST(RegexObject, BytesThatAreNoGbkDoNotBreakIt) {
    RegexObject re;
    re.set_pattern("b");
    EXPECT_EQ(re.execute("a\x81"), 0);
    EXPECT_EQ(re.execute("\xFF" "b\x80"), 1);
    EXPECT_EQ(re.match_text(1), "b");
    // Bytes that are no GBK come back as they were.
    EXPECT_EQ(re.replace("b\x81", "c"), "c\x81");
    EXPECT_EQ(re.replace("\xFF" "b\x80\x81 b", "c"), "\xFF" "c\x80\x81 c");
    EXPECT_EQ(re.replace("\xFF" "b\x80", "[$&]", "\\W"), "[\xFF]b[\x80]");
    EXPECT_EQ(re.execute("\xFF" "b\x80"), 2);
    EXPECT_EQ(re.match_text(2), "\x80");
}

TEST(EscapeLiteral, Table) {
    EXPECT_EQ(escape_literal("a.b|c"), "a\\.b\\|c");
    EXPECT_EQ(escape_literal("\xA3\xAC"), "\xA3\xAC");  // full-width comma unchanged
    EXPECT_EQ(escape_literal("\\^$+.{}[]=()?*|\""),
              "\\\\\\^\\$\\+\\.\\{\\}\\[\\]\\=\\(\\)\\?\\*\\|\\\"");
    EXPECT_EQ(escape_literal("a-b/c"), "a-b/c");
    EXPECT_EQ(escape_literal_keep_bar("a|b.c"), "a|b\\.c");
    EXPECT_EQ(wildcard_to_pattern("*.txt"), ".*\\.txt");
    EXPECT_EQ(wildcard_to_pattern("a?b|c\\"), "a.?b|c\\\\");

    // An escaped text matches itself literally.
    RegexObject re;
    const std::string literal = "(1+1)*[2]=$4^.{x}|\"?\\";
    re.set_pattern(escape_literal(literal));
    EXPECT_EQ(re.execute("<" + literal + ">"), 1);
    EXPECT_EQ(re.match_text(1), literal);
}

}  // namespace
}  // namespace qm
