#include "collect/collection_run.h"

#include <string>

#include "collect/collect_item.h"
#include "collect/collect_settings.h"
#include "collect/file_name.h"
#include "collect/file_system.h"
#include "collect/item_list.h"
#include "settings/message_box.h"
#include "settings/window_access.h"
#include "text/gbk.h"

namespace qm {

namespace {

const std::string& idle_caption() { return "开始采集"_gbk; }
const std::string& info_title() { return "信息："_gbk; }

std::string output_path(WindowAccess& window, std::string title) {
    const std::string extension = window.text(controls::output_extension());
    const std::string suffix = "." + extension;
    std::string path = window.text(controls::output_directory());
    path += kPathSeparator;
    path += fit_file_name(clean_file_name(title), suffix);
    path += suffix;
    return path;
}

std::string completion_text(const RunSummary& summary) {
    std::string text = "采集完成！"_gbk;
    if (summary.failed_writes > 0) {
        text += "\r\n";
        text += "有 "_gbk + std::to_string(summary.failed_writes) + " 个商品文件未能写入，第一个是："_gbk +
                summary.first_failed_path;
    }
    if (summary.items_stopped_by_verification > 0) {
        text += "\r\n";
        text += "有 "_gbk + std::to_string(summary.items_stopped_by_verification) +
                " 个商品被淘宝的安全验证中止采集，请加大请求间隔、更换代理或登录后再试。"_gbk;
    }
    return text;
}

}  // namespace

CollectionRun::CollectionRun(CollectEnvironment env) : env_(env), context_(env.web, env.regex) {
    context_.set_status = [this](std::string_view text) {
        env_.window.set_text(controls::start_button(), text);
    };
}

void CollectionRun::click_start() {
    WindowAccess& window = env_.window;
    if (window.text(controls::start_button()) != idle_caption()) {
        window.set_text(controls::start_button(), "正在停止.."_gbk);
        context_.stop_requested = true;
        return;
    }
    run();
}

void CollectionRun::run() {
    WindowAccess& window = env_.window;
    const auto file = read_bytes(window.text(controls::item_list_path()));
    if (!file) {
        summary_ = RunSummary();
        env_.messages.show_message("请先选择保存商品ID或商品地址的文本文件！"_gbk, info_title(),
                                   MessageIcon::information, MessageButtons::ok);
        return;
    }
    const std::vector<std::string> lines = split_item_lines(*file);

    context_.stop_requested = false;
    context_.files_written = 0;
    context_.items_stopped_by_verification = 0;
    context_.request_interval_ms = env_.request_interval_ms;
    summary_ = RunSummary();
    summary_.item_list_opened = true;
    running_ = true;
    window.set_text(controls::start_button(), "正在采集.."_gbk);
    const std::string kept_start_index = window.text(controls::start_index());

    int line_number = 0;
    for (const std::string& line : lines) {
        ++line_number;
        if (line_number < text_to_int(window.text(controls::start_index()))) continue;
        window.set_text(controls::start_index(), std::to_string(line_number));
        if (!line.empty()) {
            const CollectSettings settings = read_collect_settings(window);
            const ItemResult result = collect_item(line, settings, context_);
            if (window.is_checked(controls::preview_only())) {
                env_.messages.show_message(result.text, result.title, MessageIcon::information,
                                           MessageButtons::ok);
                break;
            }
            if (!result.text.empty()) {
                const std::string path = output_path(window, result.title);
                create_parent_directories(path);
                if (write_bytes(path, result.text)) {
                    ++context_.files_written;
                } else if (summary_.failed_writes++ == 0) {
                    summary_.first_failed_path = path;
                }
            }
        }
        if (context_.stop_requested) break;
    }

    if (window.is_checked(controls::preview_only())) {
        window.set_text(controls::start_index(), kept_start_index);
    } else {
        window.set_text(controls::start_index(),
                        std::to_string(static_cast<long long>(text_to_int(window.text(controls::start_index()))) + 1));
    }
    summary_.files_written = context_.files_written;
    summary_.items_stopped_by_verification = context_.items_stopped_by_verification;
    running_ = false;
    window.set_text(controls::start_button(), idle_caption());
    if (!window.is_checked(controls::preview_only()))
        env_.messages.show_message(completion_text(summary_), info_title(), MessageIcon::information,
                                   MessageButtons::ok);
}

}  // namespace qm
