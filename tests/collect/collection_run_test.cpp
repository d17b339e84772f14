#include "collect/collection_run.h"

#include <gtest/gtest.h>

#include "sim_harness.h"

namespace qm {
namespace {

using test::item;
using test::SimHarness;
using Strings = std::vector<std::string>;

sim::Fixture five_items() {
    sim::Fixture f;
    f.page_size = 5;
    for (int i = 1; i <= 5; ++i)
        f.items.push_back(item("1000" + std::to_string(i) + "010", sim::Market::Taobao,
                               "商品" + std::to_string(i), 2, "item" + std::to_string(i) + " review "));
    return f;
}

const std::string kFiveLines = "10001010\r\n10002010\r\n10003010\r\n10004010\r\n10005010\r\n";

TEST(CollectionRun, StartIndexSkipsLinesAndEndsOnePastTheLast) {
    SimHarness h(five_items());
    h.write_items("10001010\r\n10002010\r\n10003010\r\n10004010\r\n10005010\r\n");
    h.window().set_text(controls::start_index(), "3");
    Strings seen;  // start index while each review page is awaited
    set_pending_events_hook([&] {
        const std::string index = h.text(controls::start_index());
        if (seen.empty() || seen.back() != index) seen.push_back(index);
        return false;
    });
    h.run().click_start();
    EXPECT_EQ(seen, (Strings{"3", "4", "5"}));
    EXPECT_EQ(h.text(controls::start_index()), "6");
    EXPECT_EQ(h.output_count(), 3u);
    EXPECT_EQ(h.output("商品3").value_or(""), "item3 review 1\r\nitem3 review 2\r\n");
    EXPECT_FALSE(h.output("商品1"));
    EXPECT_EQ(h.message_texts(), Strings{"采集完成！"});
    EXPECT_EQ(h.messages().messages().at(0).title, "信息："_gbk);
    EXPECT_EQ(h.text(controls::start_button()), "开始采集"_gbk);
    EXPECT_EQ(h.run().last_summary().files_written, 3);
}

TEST(CollectionRun, RaisingTheStartIndexDuringARunSkipsAheadLoweringDoesNothing) {
    for (const auto& [typed, expected] : {std::pair<std::string, Strings>{"4", {"商品1", "商品4", "商品5"}},
                                          {"0", {"商品1", "商品2", "商品3", "商品4", "商品5"}}}) {
        SimHarness h(five_items());
        h.write_items(kFiveLines);
        bool typed_once = false;
        // The user types into the start-index box while the first item is collected.
        set_pending_events_hook([&] {
            if (!typed_once && h.text(controls::start_index()) == "1") {
                h.window().set_text(controls::start_index(), typed);
                typed_once = true;
            }
            return false;
        });
        h.run().click_start();
        set_pending_events_hook({});
        Strings written;
        for (int i = 1; i <= 5; ++i)
            if (h.output("商品" + std::to_string(i))) written.push_back("商品" + std::to_string(i));
        EXPECT_EQ(written, expected) << typed;
        EXPECT_EQ(h.text(controls::start_index()), "6") << typed;
    }
}

TEST(CollectionRun, StartIndexTextsThatHandleEveryLine) {
    for (const char* start : {"0", "", "abc"}) {
        SimHarness h(five_items());
        h.write_items("10001010\n10002010");
        h.window().set_text(controls::start_index(), start);
        h.run().click_start();
        EXPECT_EQ(h.output_count(), 2u) << start;
        EXPECT_EQ(h.text(controls::start_index()), "3") << start;
    }
}

TEST(CollectionRun, NothingToHandle) {
    struct Case {
        std::string list;
        std::string start;
        std::string end;
    } cases[] = {{kFiveLines, "9", "10"}, {"", "1", "2"}};
    for (const auto& c : cases) {
        SimHarness h(five_items());
        h.write_items(c.list);
        h.window().set_text(controls::start_index(), c.start);
        h.run().click_start();
        EXPECT_EQ(h.output_count(), 0u);
        EXPECT_EQ(h.sim().request_count(), 0u);
        EXPECT_EQ(h.text(controls::start_index()), c.end);
        EXPECT_EQ(h.message_texts(), Strings{"采集完成！"});
    }
}

TEST(CollectionRun, EmptyLinesAdvanceButAreNotCollected) {
    SimHarness h(five_items());
    h.write_items("\xEF\xBB\xBF" "10001010\r\n\r\n\r\n10002010\r\n");
    Strings seen;
    set_pending_events_hook([&] {
        seen.push_back(h.text(controls::start_index()));
        return false;
    });
    h.run().click_start();
    EXPECT_EQ(h.requests("item.taobao.com").size(), 2u);
    EXPECT_EQ(h.requests("item.htm?id=10002010").size(), 1u);  // no CR kept in the line
    EXPECT_EQ(h.text(controls::start_index()), "5");
    EXPECT_EQ(h.output_count(), 2u);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), "4");
}

TEST(CollectionRun, PreviewShowsTheFirstItemOnlyAndRestoresTheStartIndex) {
    SimHarness h(five_items());
    h.write_items("\r\n10002010\r\n10003010\r\n");
    h.window().set_checked(controls::preview_only(), true);
    h.window().set_text(controls::start_index(), " 1");
    h.run().click_start();
    ASSERT_EQ(h.messages().messages().size(), 1u);
    EXPECT_EQ(h.messages().messages()[0].text, "item2 review 1\r\nitem2 review 2\r\n");
    EXPECT_EQ(h.messages().messages()[0].title, "商品2"_gbk);
    EXPECT_EQ(h.text(controls::start_index()), " 1");
    EXPECT_EQ(h.output_count(), 0u);
    EXPECT_TRUE(h.requests("10003010").empty());
    EXPECT_EQ(h.text(controls::start_button()), "开始采集"_gbk);
}

TEST(CollectionRun, PreviewOfAnUnresolvedItemShowsAnEmptyText) {
    SimHarness h(five_items());
    h.write_items("77777777\r\n");
    h.window().set_checked(controls::preview_only(), true);
    h.run().click_start();
    ASSERT_EQ(h.messages().messages().size(), 1u);
    EXPECT_EQ(h.messages().messages()[0].text, "");
}

TEST(CollectionRun, StopDuringAnItemStillWritesIt) {
    sim::Fixture f = five_items();
    f.items[0].reviews.clear();
    for (int i = 1; i <= 12; ++i) f.items[0].reviews.push_back(test::review("r" + std::to_string(i)));
    SimHarness h(std::move(f));
    h.write_items(kFiveLines);
    Strings captions;
    bool clicked = false;
    set_pending_events_hook([&] {
        captions.push_back(gbk_to_utf8(h.text(controls::start_button())));
        // Second click just before the item's second review page is requested.
        if (!clicked && captions.back() == "停止..已生成 0 篇|正采集 2 页") {
            clicked = true;
            h.run().click_start();
        }
        return false;
    });
    h.run().click_start();
    EXPECT_EQ(h.run().last_summary().files_written, 1);
    // The page on its way is still read up to its first accepted review.
    EXPECT_EQ(h.output("商品1").value_or(""), "r1\r\nr2\r\nr3\r\nr4\r\nr5\r\nr6\r\n");
    EXPECT_TRUE(h.requests("currentPageNum=3").empty());
    EXPECT_TRUE(h.requests("10002010").empty());
    EXPECT_EQ(h.text(controls::start_index()), "2");
    EXPECT_EQ(h.message_texts(), Strings{"采集完成！"});
    EXPECT_EQ(h.text(controls::start_button()), "开始采集"_gbk);
    EXPECT_NE(std::find(captions.begin(), captions.end(), "正在停止.."), captions.end());
    EXPECT_NE(std::find(captions.begin(), captions.end(), "停止..已生成 0 篇|正采集 1 页"), captions.end());
}

TEST(CollectionRun, MissingItemListLeavesEverythingAsItWas) {
    SimHarness h(five_items());
    h.window().set_text(controls::start_index(), "4");
    h.run().click_start();
    EXPECT_EQ(h.message_texts(), Strings{"请先选择保存商品ID或商品地址的文本文件！"});
    EXPECT_EQ(h.text(controls::start_index()), "4");
    EXPECT_EQ(h.text(controls::start_button()), "开始采集"_gbk);
}

TEST(CollectionRun, OutputFileNamesFromTitles) {
    sim::Fixture f;
    f.page_size = 5;
    f.items.push_back(item("20000001", sim::Market::Taobao, "a/b:c?", 1, "first "));
    f.items.push_back(item("20000002", sim::Market::Taobao, "同名", 1, "second "));
    f.items.push_back(item("20000003", sim::Market::Taobao, "同名", 1, "third "));
    std::string long_title;
    for (int i = 0; i < 100; ++i) long_title += "长";
    f.items.push_back(item("20000004", sim::Market::Taobao, long_title, 1, "long "));
    SimHarness h(std::move(f));
    h.write_items("20000001\n20000002\n20000003\n20000004\n");
    h.window().set_text(controls::output_directory(), SimHarness::gbk(h.dir() / "out" / "新建" / "子"));
    h.window().set_text(controls::output_extension(), "log");
    h.run().click_start();
    const auto out = h.dir() / "out" / std::filesystem::path(u8"新建") / std::filesystem::path(u8"子");
    auto read = [&](const std::u8string& name) {
        return read_bytes(SimHarness::gbk(out / std::filesystem::path(name))).value_or("<missing>");
    };
    EXPECT_EQ(read(u8"a／b：c？.log"), "first 1\r\n");
    EXPECT_EQ(read(u8"同名.log"), "third 1\r\n");  // the later item replaces the earlier file
    std::u8string fitted;
    for (int i = 0; i < 83; ++i) fitted += u8"长";  // 83 × 3 bytes + ".log" fit in 255
    EXPECT_EQ(read(fitted + u8".log"), "long 1\r\n");
    EXPECT_EQ(h.run().last_summary().files_written, 4);
    EXPECT_EQ(h.message_texts(), Strings{"采集完成！"});
}

TEST(CollectionRun, FailedWritesAreReported) {
    SimHarness h(five_items());
    h.write_items("10001010\n10002010\n");
    ASSERT_TRUE(write_bytes(SimHarness::gbk(h.dir() / "blocker"), "x"));
    const std::string dir = SimHarness::gbk(h.dir() / "blocker");
    h.window().set_text(controls::output_directory(), dir);
    h.run().click_start();
    EXPECT_EQ(h.run().last_summary().files_written, 0);
    EXPECT_EQ(h.run().last_summary().failed_writes, 2);
    ASSERT_EQ(h.messages().messages().size(), 1u);
    const std::string text = gbk_to_utf8(h.messages().messages()[0].text);
    EXPECT_TRUE(text.starts_with("采集完成！\r\n")) << text;
    EXPECT_NE(text.find("2 个商品文件未能写入"), std::string::npos) << text;
    EXPECT_NE(text.find(gbk_to_utf8(dir) + "/商品1.txt"), std::string::npos) << text;
}

TEST(CollectionRun, ItemsStoppedByVerificationAreReported) {
    sim::Fixture f = five_items();
    sim::Fault fault;
    fault.kind = sim::FaultKind::AntiRobot;
    fault.where = sim::FaultWhere::ReviewList;
    f.items[1].faults.push_back(fault);
    SimHarness h(std::move(f));
    h.write_items("10001010\n10002010\n10003010\n");
    h.run().click_start();
    EXPECT_EQ(h.output_count(), 2u);  // the stopped item kept no review
    ASSERT_EQ(h.messages().messages().size(), 1u);
    const std::string text = gbk_to_utf8(h.messages().messages()[0].text);
    EXPECT_TRUE(text.starts_with("采集完成！\r\n")) << text;
    EXPECT_NE(text.find("1 个商品被淘宝的安全验证中止"), std::string::npos) << text;
}

TEST(CollectionRun, SettingsAreReadAfreshForEveryItem) {
    SimHarness h(five_items());
    h.write_items("10001010\n10002010\n");
    set_pending_events_hook([&] {
        // While the first item runs, change the template and extension.
        h.window().set_text(controls::template_text(), "[#评论#]"_gbk);
        h.window().set_text(controls::output_extension(), "md");
        return false;
    });
    h.run().click_start();
    EXPECT_EQ(h.output("商品1", "md").value_or(""), "item1 review 1\r\nitem1 review 2\r\n");
    EXPECT_EQ(h.output("商品2", "md").value_or(""), "[item2 review 1][item2 review 2]");
}

}  // namespace
}  // namespace qm
