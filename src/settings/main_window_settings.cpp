#include "settings/main_window_settings.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "settings/settings_file.h"
#include "settings/window_access.h"
#include "text/gbk.h"
#include "text/text_primitives.h"

namespace qm {

namespace {

const std::string& section_name() { return "主窗口"_gbk; }
const std::string& review_type_control() { return "组合框类型"_gbk; }

enum class Kind { text, check_box, review_type };

// One stored control: texts and the review type under their key, check
// boxes under their caption. Names are GBK.
struct Setting {
    Kind kind;
    std::string control;
    std::string key;
};

// The order in which the keys are loaded and saved.
const std::vector<Setting>& settings_in_order() {
    struct Row {
        Kind kind;
        const char* control;
        const char* key;
    };
    static const Row rows[] = {
        {Kind::text, "编辑框商品ID文件", "宝贝文件"},
        {Kind::text, "编辑框保存目录", "保存目录"},
        {Kind::text, "编辑框扩展名", "保存后缀"},
        {Kind::check_box, "选择框过滤", ""},
        {Kind::text, "编辑框匹配式", "匹配式"},
        {Kind::text, "编辑框替换式", "替换式"},
        {Kind::text, "编辑框字数", "最少字数"},
        {Kind::text, "编辑框页数", "采集页数"},
        {Kind::review_type, "组合框类型", "评论类型"},
        {Kind::text, "编辑框组合", "组合模板"},
        {Kind::check_box, "选择框标题打乱", ""},
        {Kind::check_box, "选择框内容打乱", ""},
        {Kind::check_box, "选择框正则", ""},
        {Kind::check_box, "选择框仅信息框", ""},
        {Kind::text, "编辑框序号", "序号"},
    };
    static const std::vector<Setting> settings = [] {
        std::vector<Setting> out;
        for (const Row& row : rows) out.push_back({row.kind, utf8_to_gbk(row.control), utf8_to_gbk(row.key)});
        return out;
    }();
    return settings;
}

// A hand-edited number may be anything: cut it to a whole index of the list.
int review_type_index(double stored) {
    double whole = std::trunc(stored);
    return static_cast<int>(std::clamp(whole, 0.0, static_cast<double>(review_type_count - 1)));
}

std::string home_directory() {
    const char* home = std::getenv("HOME");
    std::string dir = home ? home : "";
    if (dir.empty()) {
        if (const passwd* entry = ::getpwuid(::getuid())) dir = entry->pw_dir ? entry->pw_dir : "";
    }
    while (!dir.empty() && dir.back() == '/') dir.pop_back();
    return utf8_to_gbk(dir);
}

}  // namespace

void load_main_window_settings(SettingsFile& settings, WindowAccess& window) {
    settings.set_section(section_name());
    for (const Setting& s : settings_in_order()) {
        const std::string& control = s.control;
        switch (s.kind) {
        case Kind::text:
            window.set_text(control, settings.read_text(s.key, window.text(control)));
            break;
        case Kind::check_box:
            settings.load_check_box(window, control);
            break;
        case Kind::review_type:
            window.set_selected_index(
                control, review_type_index(settings.read_number(s.key, window.selected_index(control))));
            break;
        }
    }
}

void save_main_window_settings(SettingsFile& settings, WindowAccess& window) {
    settings.set_section(section_name());
    for (const Setting& s : settings_in_order()) {
        const std::string& control = s.control;
        switch (s.kind) {
        case Kind::text:
            settings.write_text(s.key, window.text(control));
            break;
        case Kind::check_box:
            settings.save_check_box(window, control);
            break;
        case Kind::review_type:
            settings.write_number(s.key, window.selected_index(control));
            break;
        }
    }
}

const std::string& review_type_name(int index) {
    static const std::string names[review_type_count] = {"全部"_gbk, "好评"_gbk, "中评"_gbk, "差评"_gbk,
                                                         "追评"_gbk};
    static const std::string none;
    return index >= 0 && index < review_type_count ? names[index] : none;
}

std::string platform_initial_path(std::string_view windows_path) {
#ifdef _WIN32
    return std::string(windows_path);
#else
    std::string path(windows_path);
    if (path.size() >= 2 && (path[0] == 'C' || path[0] == 'c') && path[1] == ':')
        path = home_directory() + path.substr(2);
    // Boundary-aware: a two-byte character may end in the byte of "\".
    return replace_text(path, "\\", "/");
#endif
}

void apply_main_window_initial_values(WindowAccess& window) {
    struct Initial {
        const char* control;
        const char* value;
    };
    // Captions and texts as the window first shows them (UTF-8 here).
    static const Initial texts[] = {
        {"超级链接框保存", "保存配置"},
        {"超级链接框更新", "查看更新"},
        {"超级链接框操作", "操作帮助"},
        {"超级链接框软件", "更多软件"},
        {"超级链接框QQ", "呼叫Fenwold"},
        {"分组框1", "第一步：采集商品ID,指定ID文件"},
        {"按钮按关键词", "采集商品ID_按关键词"},
        {"按钮按店铺", "采集商品ID_按店铺"},
        {"标签1", "商品ID文件："},
        {"按钮2", ".."},
        {"标签9", "从第        个ID开始采集"},
        {"编辑框序号", "1"},
        {"分组框2", "第二步：采集设置"},
        {"标签8", "评论类型："},
        {"标签7", "评论最少字数："},
        {"编辑框字数", "5"},
        {"标签4", "采集页数："},
        {"编辑框页数", "10"},
        {"选择框标题打乱", "标题打乱"},
        {"选择框内容打乱", "内容打乱"},
        {"选择框过滤", "替 换："},
        {"编辑框匹配式", "字符1|字符2|字符3"},
        {"标签6", "为"},
        {"编辑框替换式", "新字符1|新字符2|新字符3"},
        {"选择框正则", "正则模式"},
        {"分组框3", "第三步：保存设置,开始采集"},
        {"标签3", "保存模板："},
        {"按钮引用说明", "查看引用说明"},
        {"按钮采集", "开始采集"},
        {"选择框仅信息框", "仅信息框快速预览"},
        {"编辑框组合",
         "【#买家#】在#日期#买的#颜色##尺码#，：Ta说 >> #评论#\r\n"
         "#分隔##买家#Ta说：#评论#\r\n"
         "#分隔##买家#买的颜色是#颜色#，尺码是#尺码#，Ta的意见是：#评论#\r\n"},
        {"标签5", "保存目录："},
        {"编辑框扩展名", "txt"},
        {"按钮选择目录", ".."},
    };
    for (const Initial& t : texts) window.set_text(utf8_to_gbk(t.control), utf8_to_gbk(t.value));
    window.set_text("编辑框商品ID文件"_gbk, platform_initial_path("C:\\包含商品地址或商品ID的文本文件.txt"_gbk));
    window.set_text("编辑框保存目录"_gbk, platform_initial_path("C:\\采集的淘宝"_gbk));

    window.set_checked("选择框标题打乱"_gbk, true);
    window.set_checked("选择框内容打乱"_gbk, true);
    window.set_checked("选择框过滤"_gbk, false);
    window.set_checked("选择框正则"_gbk, false);
    window.set_checked("选择框仅信息框"_gbk, false);
    window.set_selected_index(review_type_control(), 1);
}

}  // namespace qm
