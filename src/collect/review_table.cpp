#include "collect/review_table.h"

#include <chrono>

#include "collect/attribute_lookup.h"
#include "collect/collect_settings.h"
#include "collect/file_name.h"
#include "collect/file_system.h"
#include "text/batch_replace.h"
#include "text/char_count.h"
#include "text/dedupe_list.h"
#include "text/gbk.h"
#include "text/pending_events.h"
#include "text/piece_shuffle.h"
#include "text/regex_object.h"
#include "text/text_primitives.h"

namespace qm {

namespace {

const std::string& separator_mark() { return "#分隔#"_gbk; }

std::string column_value(const ReviewTable& table, const std::string& name, const RawReview& review,
                         const std::string& content) {
    if (name == "评论"_gbk) return content;
    if (name == "买家"_gbk) return review.buyer;
    if (name == "日期"_gbk) return review.date;
    if (name == "标题"_gbk) return table.item.title;
    if (name == "原标题"_gbk) return table.item.page_title;
    return lookup_attribute(review.attribute_source, name);
}

// The output path the run would write this title to, from the pattern "dir/*.ext".
std::string pattern_path(std::string_view output_pattern, std::string_view cleaned_title) {
    const size_t star = output_pattern.rfind('*');
    const std::string_view suffix =
        star == std::string_view::npos ? std::string_view() : output_pattern.substr(star + 1);
    return replace_text(output_pattern, "*", fit_file_name(cleaned_title, suffix));
}

void rebuild_title(ReviewTable& table, const std::string& content, RegexObject& regex_b) {
    const std::string compact = regex_b.replace(content, "");
    table.title_snippet = pick_piece(compact, "，"_gbk);
    table.item.title = shuffle_pieces(table.item.title, " ") + " " + table.title_snippet;
}

}  // namespace

std::unique_ptr<ReviewTable> make_review_table(std::string_view template_text, ItemInfo item,
                                               RegexObject& regex_a) {
    auto table = std::make_unique<ReviewTable>();
    table->item = std::move(item);
    const std::string tmpl = template_text.empty() ? "#评论#"_gbk + "\r\n" : std::string(template_text);

    regex_a.set_pattern("#.+?#", true, true, true);
    const int matches = regex_a.execute(tmpl);
    std::string list;
    for (int i = 1; i <= matches; ++i) {
        const std::string placeholder = regex_a.match_text(i);
        if (placeholder == separator_mark()) continue;
        if (!list.empty()) list += "|||";
        list += placeholder;
    }
    table->placeholder_list = dedupe_list(list, "|||");
    table->placeholders = split_text(table->placeholder_list, "|||");
    for (const std::string& placeholder : table->placeholders) {
        auto column = std::make_unique<ReviewColumn>();
        column->name = replace_text(placeholder, "#", "");
        table->columns.push_back(std::move(column));
    }
    table->pieces = split_text(tmpl, separator_mark());
    return table;
}

bool accept_review(ReviewTable& table, const RawReview& review, const CollectSettings& settings,
                   RegexInstances& regex) {
    // Every entity starts with "&": most reviews have none and skip the table.
    std::string content = review.content.find('&') == std::string::npos
                              ? review.content
                              : decode_entities(review.content, false);
    if (settings.replace_enabled) {
        if (settings.regex_mode) {
            // An empty rule would leave instance A on its previous pattern.
            if (!settings.match_list.empty()) content = regex.a.replace(content, settings.replacement_list);
        } else {
            content = batch_replace(content, settings.match_list, settings.replacement_list);
        }
    }
    if (settings.min_chars > 0 && char_count(content) < settings.min_chars) return false;

    if (table.title_snippet.empty()) {
        bool rebuild = settings.title_shuffle;
        if (!rebuild && table.item.marketplace == Marketplace::Tmall) {
            clean_file_name(table.item.title);
            rebuild = path_exists(pattern_path(settings.output_pattern, table.item.title));
        }
        if (rebuild) rebuild_title(table, content, regex.b);
    }

    ReviewEntry entry;
    entry.values.reserve(table.columns.size());
    for (const auto& column : table.columns)
        entry.values.push_back(column_value(table, column->name, review, content));
    for (size_t i = 0; i < table.columns.size(); ++i)
        table.columns[i]->values.push_back(std::move(entry.values[i]));
    ++table.accepted;
    return true;
}

std::string render_item_text(ReviewTable& table, bool content_shuffle, bool seed_from_clock) {
    if (seed_from_clock)
        seed_random(static_cast<std::uint32_t>(
            std::chrono::system_clock::now().time_since_epoch().count()));
    // Without any placeholder there is no column to count; the accepted reviews still are.
    const int n = table.columns.empty() ? table.accepted
                                        : static_cast<int>(table.columns.front()->values.size());
    const int piece_count = static_cast<int>(table.pieces.size());
    std::string result, text, next;
    for (int k = 1; k <= n; ++k) {
        text.clear();
        if (piece_count > 0) text = table.pieces[table.piece_picker.draw(1, piece_count) - 1];
        for (size_t c = 0; c < table.columns.size(); ++c) {
            ReviewColumn& column = *table.columns[c];
            const int position = content_shuffle ? column.picker.draw(1, n) : k;
            // Replaced one placeholder at a time, so a value holding the list
            // separator cannot shift the values of the other columns.
            next.clear();
            append_replaced(next, text, table.placeholders[c], column.values[position - 1], false);
            text.swap(next);
        }
        result += text;
        run_pending_events();
    }
    return result;
}

}  // namespace qm
