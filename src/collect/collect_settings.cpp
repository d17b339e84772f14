#include "collect/collect_settings.h"

#include <climits>

#include "settings/window_access.h"
#include "text/gbk.h"

namespace qm {

namespace controls {
const std::string& start_button() { return "按钮采集"_gbk; }
const std::string& item_list_path() { return "编辑框商品ID文件"_gbk; }
const std::string& start_index() { return "编辑框序号"_gbk; }
const std::string& min_chars() { return "编辑框字数"_gbk; }
const std::string& page_limit() { return "编辑框页数"_gbk; }
const std::string& preview_only() { return "选择框仅信息框"_gbk; }
const std::string& output_directory() { return "编辑框保存目录"_gbk; }
const std::string& output_extension() { return "编辑框扩展名"_gbk; }
const std::string& review_type() { return "组合框类型"_gbk; }
const std::string& template_text() { return "编辑框组合"_gbk; }
const std::string& replace_enabled() { return "选择框过滤"_gbk; }
const std::string& regex_mode() { return "选择框正则"_gbk; }
const std::string& match_list() { return "编辑框匹配式"_gbk; }
const std::string& replacement_list() { return "编辑框替换式"_gbk; }
const std::string& content_shuffle() { return "选择框内容打乱"_gbk; }
const std::string& title_shuffle() { return "选择框标题打乱"_gbk; }
}  // namespace controls

int text_to_int(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<int>(value);
}

CollectSettings read_collect_settings(WindowAccess& window) {
    CollectSettings s;
    s.min_chars = text_to_int(window.text(controls::min_chars()));
    s.page_limit = text_to_int(window.text(controls::page_limit()));
    s.preview = window.is_checked(controls::preview_only());
    s.output_pattern = window.text(controls::output_directory());
    s.output_pattern += kPathSeparator;
    s.output_pattern += "*.";
    s.output_pattern += window.text(controls::output_extension());
    s.review_type = window.selected_index(controls::review_type());
    s.template_text = window.text(controls::template_text());
    s.replace_enabled = window.is_checked(controls::replace_enabled());
    s.regex_mode = window.is_checked(controls::regex_mode());
    s.match_list = window.text(controls::match_list());
    s.replacement_list = window.text(controls::replacement_list());
    s.content_shuffle = window.is_checked(controls::content_shuffle());
    s.title_shuffle = window.is_checked(controls::title_shuffle());
    return s;
}

}  // namespace qm
