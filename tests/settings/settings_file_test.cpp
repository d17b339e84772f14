#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "settings/control_store.h"
#include "text/gbk.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

std::string g(std::string_view utf8) { return utf8_to_gbk(utf8); }

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A fresh directory per test; the settings file in it has a Chinese name, so
// the GBK path must be converted on the way to the file system.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "qm-settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        disk_path_ = dir_ / "主配置文件.ini";
        settings_.open(utf8_to_gbk(disk_path_.string()), g("主窗口"));
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_, fs::perms::owner_all, ec);
        fs::remove_all(dir_, ec);
    }
    void put_file(std::string_view utf8_text) {
        std::ofstream(disk_path_, std::ios::binary) << utf8_to_gbk(utf8_text);
    }
    std::string file_utf8() { return gbk_to_utf8(slurp(disk_path_)); }
    size_t entries_in_dir() { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }

    fs::path dir_;
    fs::path disk_path_;
    SettingsFile settings_;
};

TEST_F(SettingsFileTest, OpenSetsPathAndOptionalSectionWithoutTouchingTheFile) {
    SettingsFile other;
    other.open("/x/y.ini");
    EXPECT_EQ(other.path(), "/x/y.ini");
    EXPECT_EQ(other.section(), "");
    other.set_section(g("店铺采"));
    EXPECT_EQ(other.section(), g("店铺采"));
    EXPECT_FALSE(fs::exists(disk_path_));
}

TEST_F(SettingsFileTest, EveryKindRoundTripsInItsStoredForm) {
    const std::string three_lines = g("第一行\r\n#分隔#第二行\r\n第三行");
    EXPECT_TRUE(settings_.write_text(g("组合模板"), three_lines));
    EXPECT_TRUE(settings_.write_text(g("宝贝文件"), g("C:\\包含商品地址或商品ID的文本文件.txt")));
    EXPECT_TRUE(settings_.write_number(g("评论类型"), 4));
    EXPECT_TRUE(settings_.write_number("half", 2.5));
    EXPECT_TRUE(settings_.write_number("neg", -3));
    EXPECT_TRUE(settings_.write_number("tenth", 0.1));
    EXPECT_TRUE(settings_.write_bool(g("标题打乱"), true));
    EXPECT_TRUE(settings_.write_bool(g("正则模式"), false));
    settings_.set_section(g("关键词采"));
    EXPECT_TRUE(settings_.write_number(g("排序"), 0));

    EXPECT_EQ(file_utf8(),
              "[主窗口]\r\n"
              "组合模板=第一行┊*┊#分隔#第二行┊*┊第三行\r\n"
              "宝贝文件=C:\\包含商品地址或商品ID的文本文件.txt\r\n"
              "评论类型=4\r\nhalf=2.5\r\nneg=-3\r\ntenth=0.1\r\n"
              "标题打乱=真\r\n正则模式=假\r\n"
              "[关键词采]\r\n排序=0\r\n");

    EXPECT_EQ(settings_.read_number(g("排序"), 7), 0);
    settings_.set_section(g("主窗口"));
    EXPECT_EQ(settings_.read_text(g("组合模板")), three_lines);
    EXPECT_EQ(settings_.read_text(g("宝贝文件")), g("C:\\包含商品地址或商品ID的文本文件.txt"));
    EXPECT_EQ(settings_.read_number(g("评论类型")), 4);
    EXPECT_EQ(settings_.read_number("half"), 2.5);
    EXPECT_EQ(settings_.read_number("neg"), -3);
    EXPECT_EQ(settings_.read_number("tenth"), 0.1);
    EXPECT_TRUE(settings_.read_bool(g("标题打乱"), false));
    EXPECT_FALSE(settings_.read_bool(g("正则模式"), true));
}

TEST_F(SettingsFileTest, LineBreaksAndTheMarkItself) {
    // A stored mark comes back as a line break; a lone CR or LF is stored as a
    // whole line break, never raw, so it cannot start a new key in the file.
    put_file("[主窗口]\r\n匹配式=甲┊*┊乙\r\n");
    EXPECT_EQ(settings_.read_text(g("匹配式")), g("甲\r\n乙"));
    EXPECT_TRUE(settings_.write_text(g("替换式"), "a\rb\nc=1\r\n\n"));
    EXPECT_EQ(file_utf8(), "[主窗口]\r\n匹配式=甲┊*┊乙\r\n替换式=a┊*┊b┊*┊c=1┊*┊┊*┊\r\n");
    EXPECT_EQ(settings_.read_text(g("替换式")), "a\r\nb\r\nc=1\r\n\r\n");
    EXPECT_EQ(settings_.read_text("c", "none"), "none");
    // The default goes through the same escape.
    EXPECT_EQ(settings_.read_text(g("缺少"), g("一\r\n二")), g("一\r\n二"));
}

TEST_F(SettingsFileTest, DefaultsForMissingFileSectionAndKeyButNotForEmptyValues) {
    EXPECT_EQ(settings_.read_text(g("匹配式"), g("字符1")), g("字符1"));
    EXPECT_EQ(settings_.read_number(g("评论类型"), 1), 1);
    EXPECT_TRUE(settings_.read_bool(g("标题打乱"), true));
    EXPECT_FALSE(fs::exists(disk_path_));

    EXPECT_TRUE(settings_.write_text(g("匹配式"), ""));
    EXPECT_EQ(settings_.read_text(g("匹配式"), g("字符1")), "");
    EXPECT_EQ(settings_.read_text(g("替换式"), g("新字符1")), g("新字符1"));
    settings_.set_section(g("店铺采"));
    EXPECT_EQ(settings_.read_text(g("匹配式"), g("字符1")), g("字符1"));
}

TEST_F(SettingsFileTest, BlankOrEmptyNamesGiveEmptyTextWithoutTheFile) {
    put_file("[主窗口]\r\nk=v\r\n");
    EXPECT_EQ(settings_.read_text(" \tk", "d"), "v");  // leading blanks of the key skipped
    EXPECT_EQ(settings_.read_text("", "d"), "");
    EXPECT_EQ(settings_.read_text(" \t", "d"), "");
    EXPECT_FALSE(settings_.read_bool("", true));
    settings_.set_section("  ");
    EXPECT_EQ(settings_.read_text("k", "d"), "");
    EXPECT_FALSE(settings_.write_text("k", "x"));
    SettingsFile no_path;
    no_path.set_section(g("主窗口"));
    EXPECT_EQ(no_path.read_text("k", "d"), "");
    EXPECT_FALSE(no_path.write_text("k", "x"));
    EXPECT_EQ(file_utf8(), "[主窗口]\r\nk=v\r\n");
}

TEST_F(SettingsFileTest, NumbersAndFlagsAsStoredByHand) {
    struct Case {
        const char* stored;
        double number;
        bool flag;
    } cases[] = {
        {"2", 2, false},      {" 3.5 ", 3.5, false}, {"-2", -2, false}, {"+4", 4, false},
        {"1e3", 1000, false}, {"1E+21", 1e21, false}, {"abc", 0, false}, {"12abc", 0, false},
        {"", 0, false},       {"inf", 0, false},      {"nan", 0, false}, {"真", 0, true},
        {"假", 0, false},     {"true", 0, false},     {"真的", 0, false}, {"\"真\"", 0, true},
    };
    for (const auto& c : cases) {
        put_file(std::string("[主窗口]\r\nv=") + c.stored + "\r\n");
        EXPECT_EQ(settings_.read_number("v", 9), c.number) << c.stored;
        EXPECT_EQ(settings_.read_bool("v", true), c.flag) << c.stored;
    }
    EXPECT_TRUE(settings_.write_number("v", 2.0));
    EXPECT_TRUE(settings_.write_number("w", -0.0));
    EXPECT_TRUE(settings_.write_number("x", 1e21));
    EXPECT_EQ(file_utf8(), "[主窗口]\r\nv=2\r\nw=0\r\nx=1e+21\r\n");
    EXPECT_EQ(settings_.read_number("x"), 1e21);
}

TEST_F(SettingsFileTest, CheckBoxesAreStoredUnderTheirCaption) {
    ControlStore window;
    window.set_text(g("选择框过滤"), g("替 换："));
    window.set_checked(g("选择框过滤"), true);
    EXPECT_TRUE(settings_.save_check_box(window, g("选择框过滤")));
    EXPECT_EQ(file_utf8(), "[主窗口]\r\n替 换：=真\r\n");

    window.set_checked(g("选择框过滤"), false);
    EXPECT_TRUE(settings_.load_check_box(window, g("选择框过滤")));
    EXPECT_TRUE(window.is_checked(g("选择框过滤")));

    // A renamed caption finds no key: the box keeps its current state.
    window.set_text(g("选择框过滤"), g("替换："));
    window.set_checked(g("选择框过滤"), false);
    EXPECT_FALSE(settings_.load_check_box(window, g("选择框过滤")));
    EXPECT_FALSE(window.is_checked(g("选择框过滤")));
}

TEST_F(SettingsFileTest, ValuesLongerThanTheOldBufferComeBackWhole) {
    std::string long_value;
    while (long_value.size() < 30000) long_value += g("很长的评论模板#评论#\r\n");
    EXPECT_TRUE(settings_.write_text(g("组合模板"), long_value));
    EXPECT_EQ(settings_.read_text(g("组合模板")), long_value);
}

TEST_F(SettingsFileTest, RewriteKeepsWhatItDoesNotKnow) {
    fs::copy_file(fs::path(QM_TEST_DATA_DIR) / "settings" / "hand_edited.ini", disk_path_);
    const std::string before = slurp(disk_path_);
    EXPECT_TRUE(settings_.write_text(g("最少字数"), "6"));
    std::string expected = before;
    expected.replace(expected.find(g("最少字数=   8   ")), g("最少字数=   8   ").size(), g("最少字数=6"));
    EXPECT_EQ(slurp(disk_path_), expected);
    EXPECT_EQ(settings_.read_text(g("最少字数")), "6");
    EXPECT_EQ(settings_.read_text(g("保存目录")), g("D:\\采集的淘宝 "));
}

TEST_F(SettingsFileTest, AFailedWriteLeavesTheOldFileAndNoLeftovers) {
    put_file("[主窗口]\r\n序号=1\r\n");
    fs::permissions(disk_path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const std::string before = slurp(disk_path_);

    // The new file cannot be written out whole (file size limit).
    struct rlimit old_limit;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old_limit;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = settings_.write_text(g("组合模板"), std::string(1000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(written);
    EXPECT_EQ(slurp(disk_path_), before);
    EXPECT_EQ(entries_in_dir(), 1u);

    // A successful write keeps the file's permissions.
    EXPECT_TRUE(settings_.write_text(g("序号"), "2"));
    EXPECT_EQ(fs::status(disk_path_).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(entries_in_dir(), 1u);
}

TEST_F(SettingsFileTest, AReadOnlyDirectoryLeavesTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    put_file("[主窗口]\r\n序号=1\r\n");
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(settings_.write_text(g("序号"), "2"));
    EXPECT_EQ(settings_.read_text(g("序号")), "1");
    fs::permissions(dir_, fs::perms::owner_all);
    EXPECT_EQ(entries_in_dir(), 1u);
}

TEST_F(SettingsFileTest, NeverReplacesWhatItCannotRead) {
    // A directory in the file's place reads as an error, not as a missing file.
    fs::create_directory(disk_path_);
    EXPECT_FALSE(settings_.write_text(g("序号"), "2"));
    EXPECT_TRUE(fs::is_directory(disk_path_));

    SettingsFile nowhere;
    nowhere.open(utf8_to_gbk((dir_ / "missing" / "主配置文件.ini").string()), g("主窗口"));
    EXPECT_FALSE(nowhere.write_text(g("序号"), "2"));
    EXPECT_EQ(nowhere.read_text(g("序号"), "1"), "1");
}

TEST_F(SettingsFileTest, WritesThroughASymbolicLink) {
    fs::path real = dir_ / "real.ini";
    std::ofstream(real, std::ios::binary) << "[a]\r\n";
    fs::create_symlink(real, disk_path_);
    settings_.set_section("a");
    EXPECT_TRUE(settings_.write_text("k", "v"));
    EXPECT_TRUE(fs::is_symlink(disk_path_));
    EXPECT_EQ(slurp(real), "[a]\r\nk=v\r\n");
}

}  // namespace
}  // namespace qm
