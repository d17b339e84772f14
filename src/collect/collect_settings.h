#pragma once

#include <string>
#include <string_view>

namespace qm {

class WindowAccess;

// The main window's step-two and step-three settings as one item sees them.
// Taken afresh before every item, so a change made during a run applies
// from the next item on.
struct CollectSettings {
    int min_chars = 0;
    int page_limit = 0;
    bool preview = false;
    // Output directory, separator, "*." and the extension; "*" stands for the title.
    std::string output_pattern;
    int review_type = 0;
    std::string template_text;
    bool replace_enabled = false;
    bool regex_mode = false;
    std::string match_list;
    std::string replacement_list;
    bool content_shuffle = false;
    bool title_shuffle = false;
};

// Control names of the main window that the collection reads and writes (GBK).
namespace controls {
const std::string& start_button();        // 按钮采集
const std::string& item_list_path();      // 编辑框商品ID文件
const std::string& start_index();         // 编辑框序号
const std::string& min_chars();           // 编辑框字数
const std::string& page_limit();          // 编辑框页数
const std::string& preview_only();        // 选择框仅信息框
const std::string& output_directory();    // 编辑框保存目录
const std::string& output_extension();    // 编辑框扩展名
const std::string& review_type();         // 组合框类型
const std::string& template_text();       // 编辑框组合
const std::string& replace_enabled();     // 选择框过滤
const std::string& regex_mode();          // 选择框正则
const std::string& match_list();          // 编辑框匹配式
const std::string& replacement_list();    // 编辑框替换式
const std::string& content_shuffle();     // 选择框内容打乱
const std::string& title_shuffle();       // 选择框标题打乱
}  // namespace controls

// The directory separator of this platform's paths.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// A typed number as the window reads it: leading blanks skipped, an optional
// sign, then decimal digits up to the first other character; no digits gives
// 0, and values beyond 32 bits are clamped.
int text_to_int(std::string_view text);

CollectSettings read_collect_settings(WindowAccess& window);

}  // namespace qm
