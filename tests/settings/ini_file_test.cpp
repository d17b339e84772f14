#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "text/gbk.h"

namespace qm {
namespace {

std::string read_data_file(const std::string& name) {
    std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/settings/" + name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Texts in these tests are written in UTF-8 and compared in GBK.
std::string g(std::string_view utf8) { return utf8_to_gbk(utf8); }

TEST(IniNames, FoldAsciiLettersButNeverTrailBytes) {
    // 華 is C8 41 and 萢 is C8 61: a byte-wise fold would take them for one name.
    ASSERT_EQ(g("華"), std::string("\xC8\x41"));
    ASSERT_EQ(g("萢"), std::string("\xC8\x61"));
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"Level", "LEVEL", true}, {"主窗口", "主窗口", true}, {"華", "萢", false},
        {"a華", "A華", true},     {"Level", "Leve", false},   {"[]", "[]", true},
        {"Z", "z", true},          {"@", "`", false},          {"[", "{", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini_names_equal(g(c.a), g(c.b)), c.equal) << c.a << " vs " << c.b;
}

TEST(IniFind, ReadsFilesInTheWindowsStyle) {
    const std::string file = read_data_file("hand_edited.ini");
    ASSERT_FALSE(file.empty());
    struct Case {
        const char* section;
        const char* key;
        std::optional<const char*> value;
    } cases[] = {
        {"主窗口", "宝贝文件", "C:\\商品\\列表.txt"},   // double quotes and blanks around
        {"主窗口", "保存目录", "D:\\采集的淘宝 "},      // single quotes keep the inner blank
        {"主窗口", "保存后缀", "txt ; not a comment"},  // no comments after a value
        {"主窗口", "序号", std::nullopt},               // commented out
        {"主窗口", "最少字数", "8"},                    // first duplicate, trimmed
        {"主窗口", "level", "first"},                   // letter case, first duplicate
        {"主窗口", "華", "upper"},
        {"主窗口", "萢", "lower"},
        {"主窗口", "匹配式", ""},                       // present but empty
        {"主窗口", "替换式", "\""},                     // a lone quote stays
        {"主窗口", "采集页数", std::nullopt},           // only in the second 主窗口
        {"network test", "PROXY", "127.0.0.1:8080"},
        {"mixed", "keyname", "Value"},                  // last line without line break
        {"备註", "碼", "B461"},                         // trail byte "]" in the section name
        {"註冊", "註冊碼", "誠-謀"},
        {"  主窗口 ", " 宝贝文件\t", "C:\\商品\\列表.txt"},
        {"店铺采", "保存", std::nullopt},
        {"主窗口", "宝贝", std::nullopt},
    };
    for (const auto& c : cases) {
        auto found = ini_find_value(file, g(c.section), g(c.key));
        SCOPED_TRACE(std::string(c.section) + " / " + c.key);
        ASSERT_EQ(found.has_value(), c.value.has_value());
        if (found) {
            EXPECT_EQ(*found, g(*c.value));
        }
    }
}

TEST(IniFind, LinesMayEndInLfAlone) {
    std::string file = "[a]\nk=1\n[b]\r\nk=2";
    EXPECT_EQ(ini_find_value(file, "a", "k"), "1");
    EXPECT_EQ(ini_find_value(file, "b", "k"), "2");
    EXPECT_EQ(ini_find_value("", "a", "k"), std::nullopt);
    EXPECT_EQ(ini_find_value("k=0\r\n[a]\r\n", "a", "k"), std::nullopt);  // keys before any section
}

TEST(IniSet, RewriteChangesOnlyTheKeysLine) {
    const std::string file = read_data_file("hand_edited.ini");
    const std::string crlf = "\r\n";

    // Existing key: the first of the duplicates, spelled as in the file.
    auto level = ini_set_value(file, g("主窗口"), "LEVEL", "third");
    ASSERT_TRUE(level);
    std::string expected = file;
    expected.replace(expected.find("Level=first"), 11, "Level=third");
    EXPECT_EQ(*level, expected);

    // New key: after the first section's last line that is not blank.
    auto added = ini_set_value(file, g("主窗口"), g("序号"), "3");
    ASSERT_TRUE(added);
    expected = file;
    expected.insert(expected.find(g("[备註]")) - 2, g("序号=3") + crlf);
    EXPECT_EQ(*added, expected);
    EXPECT_EQ(ini_find_value(*added, g("主窗口"), g("序号")), "3");

    // New section: at the end, after completing the unterminated last line.
    auto section = ini_set_value(file, g("店铺采"), g("店铺"), "https://shop1.taobao.com");
    ASSERT_TRUE(section);
    EXPECT_EQ(*section, file + crlf + g("[店铺采]") + crlf + g("店铺=https://shop1.taobao.com") + crlf);
}

TEST(IniSet, BuildsAFileFromNothing) {
    std::string file;
    for (auto [section, key, value] : {std::tuple{"s", "a", "1"}, {"t", "b", "2"}, {"s", "c", "3"}}) {
        auto next = ini_set_value(file, section, key, value);
        ASSERT_TRUE(next);
        file = *next;
    }
    EXPECT_EQ(file, "[s]\r\na=1\r\nc=3\r\n[t]\r\nb=2\r\n");
    EXPECT_EQ(*ini_set_value("[s]\r", "s", "a", "1"), "[s]\r\na=1\r\n");
    EXPECT_EQ(*ini_set_value("[s]", "s", "a", "1"), "[s]\r\na=1\r\n");
}

TEST(IniSet, ValuesReadBackAsGiven) {
    for (std::string value : {"", " ", " lead", "trail\t", "\"quoted\"", "'x'", "\"", "a=b", ";c", "[d]",
                              "\"half"}) {
        auto file = ini_set_value("[s]\r\nk=old\r\n", "s", "k", value);
        ASSERT_TRUE(file) << value;
        EXPECT_EQ(ini_find_value(*file, "s", "k"), value) << *file;
    }
    EXPECT_EQ(*ini_set_value("", "s", "k", "plain value"), "[s]\r\nk=plain value\r\n");
}

TEST(IniSet, RefusesWhatWouldBreakTheFile) {
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"", "k", "v"},   {"s", "", "v"},      {"s", " ", "v"},   {"s", "a=b", "v"}, {"s", ";k", "v"},
        {"s", "[k", "v"}, {"s\r\n[t]", "k", "v"}, {"s", "k\nx", "v"}, {"s", "k", "v\r\nx=1"},
        {"s", "k", "v\rx"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini_set_value("[s]\r\nk=1\r\n", c.section, c.key, c.value), std::nullopt)
            << c.section << "/" << c.key;
}

}  // namespace
}  // namespace qm
