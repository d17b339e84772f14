#include "collect/review_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "collect/collect_settings.h"
#include "collect/file_system.h"
#include "text/gbk.h"
#include "text/regex_object.h"
#include "text/text_primitives.h"
#include "text/unique_random_picker.h"

namespace qm {
namespace {

using Strings = std::vector<std::string>;

std::string u(std::string_view gbk) { return gbk_to_utf8(gbk); }

class ReviewTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        seed_random(7);
        regex_.b.set_pattern("[\\s\\r\\n]");
        settings_.output_pattern = "/nonexistent-qm-dir/*.txt";
    }

    // The template is given in UTF-8 like the other test texts written here.
    std::unique_ptr<ReviewTable> table(std::string_view utf8_template, Marketplace market = Marketplace::Taobao,
                                       std::string title = "标题"_gbk) {
        ItemInfo item;
        item.item_id = "12345";
        item.seller_id = "99";
        item.marketplace = market;
        item.title = title;
        item.page_title = title;
        auto t = make_review_table(utf8_to_gbk(utf8_template), std::move(item), regex_.a);
        // As the per-item routine does after the template analysis.
        if (settings_.replace_enabled) regex_.a.set_pattern(settings_.match_list);
        return t;
    }

    bool accept(ReviewTable& t, std::string content, std::string buyer = "b", std::string date = "d",
                std::string attributes = "\"") {
        return accept_review(t, RawReview{std::move(content), std::move(buyer), std::move(date),
                                          std::move(attributes)},
                             settings_, regex_);
    }

    Strings column(const ReviewTable& t, std::string_view name) {
        for (const auto& c : t.columns)
            if (c->name == name) return c->values;
        ADD_FAILURE() << "no column " << u(name);
        return {};
    }

    RegexInstances regex_;
    CollectSettings settings_;
};

TEST_F(ReviewTableTest, ColumnsInLastOccurrenceOrderAndPieces) {
    const std::string default_template =
        "【#买家#】在#日期#买的#颜色##尺码#，：Ta说 >> #评论#\r\n"
        "#分隔##买家#Ta说：#评论#\r\n"
        "#分隔##买家#买的颜色是#颜色#，尺码是#尺码#，Ta的意见是：#评论#\r\n";
    auto t = table(default_template);
    Strings names;
    for (const auto& c : t->columns) names.push_back(u(c->name));
    EXPECT_EQ(names, (Strings{"日期", "买家", "颜色", "尺码", "评论"}));
    EXPECT_EQ(t->pieces.size(), 3u);

    auto empty = table("");
    ASSERT_EQ(empty->columns.size(), 1u);
    EXPECT_EQ(empty->columns[0]->name, "评论"_gbk);
    EXPECT_EQ(empty->pieces, (Strings{"#评论#\r\n"_gbk}));
}

TEST_F(ReviewTableTest, MinimumLengthCountsCharactersAfterReplacement) {
    settings_.min_chars = 5;
    auto t = table("#评论#");
    EXPECT_FALSE(accept(*t, "很好"_gbk));
    EXPECT_TRUE(accept(*t, "非常好用的"_gbk));
    EXPECT_FALSE(accept(*t, "很\r\n好\r\n的"_gbk));  // line breaks do not count
    settings_.replace_enabled = true;
    settings_.match_list = "1|2|3";
    settings_.replacement_list = "一|二"_gbk;
    EXPECT_TRUE(accept(*t, "1 2 3 x"));  // "一 二  x": five characters without the deleted 3
    EXPECT_FALSE(accept(*t, "3333"));
    EXPECT_EQ(column(*t, "评论"_gbk), (Strings{"非常好用的"_gbk, "一 二  x"_gbk}));

    for (int min : {0, -3}) {
        settings_.min_chars = min;
        settings_.replace_enabled = false;
        auto any = table("#评论#");
        EXPECT_TRUE(accept(*any, ""));
    }
}

TEST_F(ReviewTableTest, RegexReplacementAndEntities) {
    settings_.replace_enabled = true;
    settings_.regex_mode = true;
    settings_.match_list = "(\\d+)元"_gbk;
    settings_.replacement_list = "[$1]";
    auto t = table("#评论#");
    EXPECT_TRUE(accept(*t, "花了100元，值&quot;得&quot;&bogus;"_gbk));
    EXPECT_EQ(u(column(*t, "评论"_gbk).at(0)), "花了[100]，值\"得\"&bogus;");

    // An empty rule must not fall back on the placeholder pattern left in instance A.
    settings_.match_list = "";
    auto untouched = table("#评论#");
    EXPECT_TRUE(accept(*untouched, "#a# text"));
    EXPECT_EQ(column(*untouched, "评论"_gbk).at(0), "#a# text");
}

TEST_F(ReviewTableTest, ValuesOfFixedAndAttributePlaceholders) {
    auto t = table("#评论##买家##日期##标题##原标题##颜色##评论 #");
    EXPECT_TRUE(accept(*t, "好", "buyer1", "2024-01-02", "颜色分类:红色;尺码:XL\""_gbk));
    EXPECT_EQ(column(*t, "买家"_gbk), Strings{"buyer1"});
    EXPECT_EQ(column(*t, "日期"_gbk), Strings{"2024-01-02"});
    EXPECT_EQ(column(*t, "标题"_gbk), Strings{"标题"_gbk});
    EXPECT_EQ(column(*t, "原标题"_gbk), Strings{"标题"_gbk});
    EXPECT_EQ(column(*t, "颜色"_gbk), Strings{"红色"_gbk});
    EXPECT_EQ(column(*t, "评论 "_gbk), Strings{""});  // an attribute, not the review text
}

TEST_F(ReviewTableTest, TitleShuffleRebuildsOnceFromTheFirstAcceptedReview) {
    settings_.title_shuffle = true;
    settings_.min_chars = 2;
    auto t = table("#标题#|#原标题#\n", Marketplace::Taobao, "夏季 新款 连衣裙"_gbk);
    EXPECT_FALSE(accept(*t, "差"_gbk));  // rejected reviews do not rebuild
    EXPECT_TRUE(accept(*t, "质量 很好，颜色\r\n正"_gbk));
    EXPECT_TRUE(accept(*t, "第二条，评论"_gbk));
    const std::string snippet = t->title_snippet;
    EXPECT_TRUE(snippet == "质量很好"_gbk || snippet == "颜色正"_gbk) << u(snippet);
    ASSERT_TRUE(t->item.title.ends_with(" " + snippet));
    Strings words = split_text(t->item.title.substr(0, t->item.title.size() - snippet.size() - 1), " ");
    std::sort(words.begin(), words.end());
    Strings expected = split_text("夏季 新款 连衣裙"_gbk, " ");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(words, expected);
    EXPECT_EQ(column(*t, "标题"_gbk), (Strings{t->item.title, t->item.title}));
    EXPECT_EQ(column(*t, "原标题"_gbk), (Strings{"夏季 新款 连衣裙"_gbk, "夏季 新款 连衣裙"_gbk}));
}

TEST_F(ReviewTableTest, TmallTitleIsRebuiltWhenItsFileExists) {
    const auto dir = std::filesystem::temp_directory_path() / "qm_review_table_exists";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    settings_.output_pattern = dir.string() + "/*.txt";
    ASSERT_TRUE(write_bytes(dir.string() + "/a／b.txt"_gbk, "old"));

    auto tmall = table("#标题#", Marketplace::Tmall, "a/b"_gbk);
    EXPECT_TRUE(accept(*tmall, "很好，不错"_gbk));
    EXPECT_FALSE(tmall->title_snippet.empty());
    EXPECT_NE(tmall->item.title, "a／b"_gbk);

    auto taobao = table("#标题#", Marketplace::Taobao, "a/b"_gbk);
    EXPECT_TRUE(accept(*taobao, "很好，不错"_gbk));
    EXPECT_EQ(taobao->item.title, "a/b");

    auto fresh = table("#标题#", Marketplace::Tmall, "c:d"_gbk);
    EXPECT_TRUE(accept(*fresh, "很好"_gbk));
    EXPECT_EQ(fresh->item.title, "c：d"_gbk);  // cleaned, not rebuilt
    EXPECT_TRUE(fresh->title_snippet.empty());
    std::filesystem::remove_all(dir);
}

TEST_F(ReviewTableTest, RenderUsesEveryPieceOncePerCycle) {
    auto t = table("A#评论#|#分隔#B#评论#|#分隔#C#评论#|");
    for (int i = 1; i <= 7; ++i) ASSERT_TRUE(accept(*t, std::to_string(i)));
    const Strings outputs = split_text(render_item_text(*t, false, false), "|");
    ASSERT_EQ(outputs.size(), 7u);
    for (int cycle = 0; cycle < 2; ++cycle) {
        std::string letters;
        for (int k = 0; k < 3; ++k) letters += outputs[cycle * 3 + k][0];
        std::sort(letters.begin(), letters.end());
        EXPECT_EQ(letters, "ABC");
    }
    for (int k = 0; k < 7; ++k) EXPECT_EQ(outputs[k].substr(1), std::to_string(k + 1));  // in order
}

TEST_F(ReviewTableTest, ContentShuffleIsAPermutationPerColumn) {
    auto t = table("#买家#=#评论#;");
    for (int i = 1; i <= 3; ++i) ASSERT_TRUE(accept(*t, "c" + std::to_string(i), "b" + std::to_string(i)));
    Strings buyers, contents;
    for (const std::string& output : split_text(render_item_text(*t, true, false), ";")) {
        const auto parts = split_text(output, "=");
        ASSERT_EQ(parts.size(), 2u);
        buyers.push_back(parts[0]);
        contents.push_back(parts[1]);
    }
    std::sort(buyers.begin(), buyers.end());
    std::sort(contents.begin(), contents.end());
    EXPECT_EQ(buyers, (Strings{"b1", "b2", "b3"}));
    EXPECT_EQ(contents, (Strings{"c1", "c2", "c3"}));
}

TEST_F(ReviewTableTest, RenderEdgeTemplates) {
    auto empty = table("");
    accept(*empty, "x");
    accept(*empty, "y");
    EXPECT_EQ(render_item_text(*empty, false, false), "x\r\ny\r\n");

    auto leading = table("#分隔#[#评论#]");  // an empty first piece adds nothing
    accept(*leading, "x");
    accept(*leading, "y");
    EXPECT_EQ(render_item_text(*leading, false, false).size(), 3u);

    // A value holding the list separator stays in its own column.
    auto separator = table("#评论#/#买家#");
    accept(*separator, "a|||b", "buyer");
    EXPECT_EQ(render_item_text(*separator, false, false), "a|||b/buyer");

    auto none = table("fixed\n");
    accept(*none, "x");
    accept(*none, "y");
    EXPECT_EQ(render_item_text(*none, false, false), "fixed\nfixed\n");
    EXPECT_EQ(render_item_text(*table("#评论#"), true, false), "");
}

}  // namespace
}  // namespace qm
