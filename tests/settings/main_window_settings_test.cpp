#include "settings/main_window_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "settings/control_store.h"
#include "settings/settings_file.h"
#include "text/gbk.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

std::string g(std::string_view utf8) { return utf8_to_gbk(utf8); }

// Sets HOME for one test and puts the old value back.
class ScopedHome {
public:
    explicit ScopedHome(const char* home) {
        if (const char* old = std::getenv("HOME")) old_ = old;
        ::setenv("HOME", home, 1);
    }
    ~ScopedHome() {
        if (old_)
            ::setenv("HOME", old_->c_str(), 1);
        else
            ::unsetenv("HOME");
    }

private:
    std::optional<std::string> old_;
};

const char* const edit_boxes[] = {"编辑框商品ID文件", "编辑框保存目录", "编辑框扩展名", "编辑框匹配式",
                                  "编辑框替换式",     "编辑框字数",     "编辑框页数",   "编辑框组合",
                                  "编辑框序号"};
const char* const check_boxes[] = {"选择框过滤", "选择框标题打乱", "选择框内容打乱", "选择框正则",
                                   "选择框仅信息框"};

// Everything the settings touch, to compare two windows.
std::string state_of(ControlStore& window) {
    std::string state;
    for (const char* c : edit_boxes) state += std::string(c) + "=" + gbk_to_utf8(window.text(g(c))) + "\n";
    for (const char* c : check_boxes)
        state += std::string(c) + "=" + gbk_to_utf8(window.text(g(c))) + (window.is_checked(g(c)) ? " [x]\n" : " [ ]\n");
    state += "组合框类型=" + std::to_string(window.selected_index(g("组合框类型"))) + "\n";
    return state;
}

class MainWindowSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "qm-main-window-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        disk_path_ = dir_ / "主配置文件.ini";
        settings_.open(utf8_to_gbk(disk_path_.string()));
        apply_main_window_initial_values(window_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string file_utf8() {
        std::ifstream in(disk_path_, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return gbk_to_utf8(out.str());
    }
    void put_file(std::string_view utf8_text) {
        std::ofstream(disk_path_, std::ios::binary) << utf8_to_gbk(utf8_text);
    }

    ScopedHome home_{"/home/卖家"};
    fs::path dir_;
    fs::path disk_path_;
    SettingsFile settings_;
    ControlStore window_;
};

TEST_F(MainWindowSettingsTest, InitialValuesAsTheWindowFirstShowsThem) {
    EXPECT_EQ(window_.text(g("编辑框商品ID文件")), g("/home/卖家/包含商品地址或商品ID的文本文件.txt"));
    EXPECT_EQ(window_.text(g("编辑框保存目录")), g("/home/卖家/采集的淘宝"));
    EXPECT_EQ(window_.text(g("编辑框组合")),
              g("【#买家#】在#日期#买的#颜色##尺码#，：Ta说 >> #评论#\r\n#分隔##买家#Ta说：#评论#\r\n"
                "#分隔##买家#买的颜色是#颜色#，尺码是#尺码#，Ta的意见是：#评论#\r\n"));
    EXPECT_EQ(window_.text(g("标签9")), g("从第        个ID开始采集"));
    EXPECT_EQ(window_.text(g("按钮采集")), g("开始采集"));
    EXPECT_EQ(window_.selected_index(g("组合框类型")), 1);
    EXPECT_EQ(review_type_name(1), g("好评"));
    EXPECT_EQ(review_type_name(4), g("追评"));
    EXPECT_EQ(review_type_name(5), "");
    EXPECT_EQ(state_of(window_),
              "编辑框商品ID文件=/home/卖家/包含商品地址或商品ID的文本文件.txt\n"
              "编辑框保存目录=/home/卖家/采集的淘宝\n编辑框扩展名=txt\n"
              "编辑框匹配式=字符1|字符2|字符3\n编辑框替换式=新字符1|新字符2|新字符3\n"
              "编辑框字数=5\n编辑框页数=10\n"
              "编辑框组合=" + gbk_to_utf8(window_.text(g("编辑框组合"))) + "\n"
              "编辑框序号=1\n"
              "选择框过滤=替 换： [ ]\n选择框标题打乱=标题打乱 [x]\n选择框内容打乱=内容打乱 [x]\n"
              "选择框正则=正则模式 [ ]\n选择框仅信息框=仅信息框快速预览 [ ]\n组合框类型=1\n");
}

TEST_F(MainWindowSettingsTest, WithoutAFileEveryControlKeepsItsValue) {
    const std::string before = state_of(window_);
    load_main_window_settings(settings_, window_);
    EXPECT_EQ(state_of(window_), before);
    EXPECT_EQ(settings_.section(), g("主窗口"));
    EXPECT_FALSE(fs::exists(disk_path_));
}

TEST_F(MainWindowSettingsTest, SaveWritesTheFifteenKeysInOrderAndLoadRestoresThem) {
    window_.set_text(g("编辑框组合"), g("#买家#：#评论#\r\n#分隔##评论#\r\n#分隔##日期# #颜色#"));
    window_.set_selected_index(g("组合框类型"), 4);
    window_.set_text(g("编辑框匹配式"), "");
    window_.set_text(g("编辑框序号"), "38");
    window_.set_checked(g("选择框过滤"), true);
    window_.set_checked(g("选择框标题打乱"), false);
    window_.set_checked(g("选择框仅信息框"), true);
    window_.set_text(g("编辑框扩展名"), "csv");
    save_main_window_settings(settings_, window_);

    EXPECT_EQ(file_utf8(),
              "[主窗口]\r\n"
              "宝贝文件=/home/卖家/包含商品地址或商品ID的文本文件.txt\r\n"
              "保存目录=/home/卖家/采集的淘宝\r\n"
              "保存后缀=csv\r\n"
              "替 换：=真\r\n"
              "匹配式=\r\n"
              "替换式=新字符1|新字符2|新字符3\r\n"
              "最少字数=5\r\n"
              "采集页数=10\r\n"
              "评论类型=4\r\n"
              "组合模板=#买家#：#评论#┊*┊#分隔##评论#┊*┊#分隔##日期# #颜色#\r\n"
              "标题打乱=假\r\n"
              "内容打乱=真\r\n"
              "正则模式=假\r\n"
              "仅信息框快速预览=真\r\n"
              "序号=38\r\n");

    const std::string saved = state_of(window_);
    ControlStore restarted;
    apply_main_window_initial_values(restarted);
    load_main_window_settings(settings_, restarted);
    EXPECT_EQ(state_of(restarted), saved);

    // Saving again from the restored window rewrites the same lines.
    const std::string file = file_utf8();
    save_main_window_settings(settings_, restarted);
    EXPECT_EQ(file_utf8(), file);
}

TEST_F(MainWindowSettingsTest, ReadsAFileTheWindowsProgramWrote) {
    fs::copy_file(fs::path(QM_TEST_DATA_DIR) / "settings" / "windows_main.ini", disk_path_);
    load_main_window_settings(settings_, window_);
    EXPECT_EQ(window_.text(g("编辑框商品ID文件")), g("D:\\淘宝\\女装商品ID.txt"));
    EXPECT_EQ(window_.text(g("编辑框扩展名")), "htm");
    EXPECT_EQ(window_.text(g("编辑框匹配式")), g("亲|宝贝"));
    EXPECT_EQ(window_.text(g("编辑框字数")), "12");
    EXPECT_EQ(window_.selected_index(g("组合框类型")), 4);
    EXPECT_EQ(window_.text(g("编辑框组合")),
              g("【#买家#】在#日期#买的#颜色##尺码#，：Ta说 >> #评论#\r\n#分隔##买家#Ta说：#评论#\r\n"
                "#分隔##买家#买的颜色是#颜色#，尺码是#尺码#，Ta的意见是：#评论#\r\n"));
    EXPECT_TRUE(window_.is_checked(g("选择框过滤")));
    EXPECT_FALSE(window_.is_checked(g("选择框标题打乱")));
    EXPECT_TRUE(window_.is_checked(g("选择框正则")));
    EXPECT_EQ(window_.text(g("编辑框序号")), "27");
}

TEST_F(MainWindowSettingsTest, AHandEditedReviewTypeStaysInTheList) {
    struct Case {
        const char* stored;
        int index;
    } cases[] = {{"9", 4}, {"-3", 0}, {"2.7", 2}, {"abc", 0}, {"4", 4}, {"0", 0}, {"1e300", 4}};
    for (const auto& c : cases) {
        put_file(std::string("[主窗口]\r\n评论类型=") + c.stored + "\r\n");
        window_.set_selected_index(g("组合框类型"), 1);
        load_main_window_settings(settings_, window_);
        EXPECT_EQ(window_.selected_index(g("组合框类型")), c.index) << c.stored;
    }
}

TEST(PlatformInitialPath, HomeForDriveCAndSlashesForBackslashes) {
    // 誠 is D5 5C: its trail byte is the byte of "\" and must survive.
    ASSERT_EQ(g("誠"), std::string("\xD5\x5C"));
    struct Case {
        const char* home;
        const char* windows;
        const char* here;
    } cases[] = {
        {"/home/卖家", "C:\\采集的淘宝", "/home/卖家/采集的淘宝"},
        {"/home/卖家/", "C:\\誠\\評論.txt", "/home/卖家/誠/評論.txt"},
        {"/", "C:\\采集的淘宝", "/采集的淘宝"},
        {"/root", "D:\\采集", "D:/采集"},
        {"/root", "采集", "采集"},
    };
    for (const auto& c : cases) {
        ScopedHome home(c.home);
        EXPECT_EQ(platform_initial_path(g(c.windows)), g(c.here)) << c.windows;
    }
}

}  // namespace
}  // namespace qm
