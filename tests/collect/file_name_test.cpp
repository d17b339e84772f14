#include "collect/file_name.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "collect/collect_settings.h"
#include "collect/file_system.h"
#include "collect/item_list.h"
#include "text/gbk.h"

namespace qm {
namespace {

TEST(CleanFileName, ReplacesReservedCharactersAndIsIdempotent) {
    struct Case {
        std::string title;
        std::string expected;
    } cases[] = {
        {"a/b:c?", "a／b：c？"_gbk},
        {"\\*|<>", "＼＊｜＜＞"_gbk},
        {"say \"hi\"", "say hi"},
        {"one\r\ntwo\rthree\nfour", "onetwothreefour"},
        {"纯中文标题"_gbk, "纯中文标题"_gbk},
    };
    for (auto& c : cases) {
        std::string title = c.title;
        EXPECT_EQ(clean_file_name(title), c.expected) << gbk_to_utf8(c.title);
        EXPECT_EQ(title, c.expected);
        std::string again = title;
        EXPECT_EQ(clean_file_name(again), c.expected);
    }
}

TEST(FitFileName, ShortLongNamesAtCharacterBoundary) {
    EXPECT_EQ(fit_file_name("short", ".txt"), "short");
    std::string chinese;
    for (int i = 0; i < 120; ++i) chinese += "连"_gbk;  // 360 bytes in UTF-8
    const std::string fitted = fit_file_name("a" + chinese, ".txt");
    // 255 - 4 (".txt") - 1 ("a") leaves room for 83 three-byte characters.
    EXPECT_EQ(fitted.size(), 1u + 83 * 2);
    EXPECT_LE(gbk_to_utf8(fitted + ".txt").size(), 255u);
    EXPECT_EQ(gbk_to_utf8(fitted).find("\xEF\xBF\xBD"), std::string::npos);  // no split character
}

TEST(TextToInt, ReadsLeadingDecimalNumber) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {{"3", 3}, {" 12", 12}, {"-4", -4}, {"7abc", 7}, {"", 0}, {"abc", 0},
                 {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1}};
    for (auto& c : cases) EXPECT_EQ(text_to_int(c.text), c.value) << c.text;
}

TEST(ItemList, WindowsLineBreaksAndByteOrderMark) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(split_item_lines("\xEF\xBB\xBF" "123\r\n\r\nhttp://x?id=45678\r\n"),
              (Lines{"123", "", "http://x?id=45678"}));
    EXPECT_EQ(split_item_lines("a\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(split_item_lines("a \n"), (Lines{"a "}));
    EXPECT_EQ(split_item_lines(""), Lines{});
}

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("qm_fs_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    void TearDown() override { std::filesystem::remove_all(root_); }
    std::string root() const { return root_.string(); }
    std::filesystem::path root_;
};

TEST_F(FileSystemTest, CreatesParentsOutermostFirstButNotTheFileName) {
    const std::string path = root() + "/采集/评/a.txt"_gbk;
    EXPECT_TRUE(create_parent_directories(path));
    EXPECT_TRUE(std::filesystem::is_directory(root_ / std::filesystem::path(u8"采集") / u8"评"));
    EXPECT_FALSE(std::filesystem::exists(root_ / std::filesystem::path(u8"采集") / u8"评" / "a.txt"));
    EXPECT_TRUE(write_bytes(path, "abc"));
    EXPECT_EQ(read_bytes(path).value_or(""), "abc");
    EXPECT_TRUE(path_exists(path));
}

TEST_F(FileSystemTest, FailsWhenAFileBlocksTheWay) {
    ASSERT_TRUE(write_bytes(root() + "/blocker", "x"));
    EXPECT_FALSE(create_parent_directories(root() + "/blocker/sub/a.txt"));
    EXPECT_FALSE(write_bytes(root() + "/blocker/sub/a.txt", "x"));
    EXPECT_FALSE(read_bytes(root() + "/missing.txt").has_value());
    EXPECT_FALSE(read_bytes(root()).has_value());
}

}  // namespace
}  // namespace qm
