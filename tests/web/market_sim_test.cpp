// The simulated marketplace's pages as the collection and harvesting code
// reads them, fetched over loopback through fetch_page.
#include "market_sim.h"

#include <gtest/gtest.h>

#include "text/gbk.h"
#include "text/text_between.h"
#include "web/web_access.h"

namespace qm {
namespace {

const std::string kDemoFixture = std::string(QM_TEST_DATA_DIR) + "/../../tools/market-sim/demo_fixture.txt";

int count_of(const std::string& text, const std::string& piece) {
    int n = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
    return n;
}

class SimPages : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        auto fixture = sim::load_fixture(kDemoFixture, &error);
        ASSERT_TRUE(fixture) << error;
        market = std::make_unique<sim::MarketSim>(std::move(*fixture));
        ASSERT_TRUE(market->start());
        web.set_default_proxy(market->proxy());
    }
    std::string get(const std::string& address) { return gbk_to_utf8(web.fetch_page(address)); }
    // Marker cuts work on the GBK page, as the collection code does.
    std::string get_gbk(const std::string& address) { return web.fetch_page(address); }

    std::unique_ptr<sim::MarketSim> market;
    WebAccess web;
};

TEST(SimFixture, ParsesItemsReviewsFaultsAndReportsTheBadLine) {
    auto fx = sim::parse_fixture(
        "page_size = 4\n[item]\nid = 1\nmarket = tmall\n"
        "review = 甲 | 2013-01-01 | bad | 第一行\\n第二行 | 颜色分类:黑色;尺码:XL | 追评\n"
        "fault = antirobot where=rate after=2\n[fault]\nkind = hang\nmatch = /x\n");
    ASSERT_TRUE(fx);
    EXPECT_EQ(fx->page_size, 4);
    ASSERT_EQ(fx->items.size(), 1u);
    const sim::Review& r = fx->items[0].reviews.at(0);
    EXPECT_EQ(r.content, "第一行\n第二行");
    EXPECT_EQ(r.rate, sim::RateType::Bad);
    ASSERT_EQ(r.attributes.size(), 2u);
    EXPECT_EQ(r.attributes[1].name, "尺码");
    EXPECT_EQ(r.append, "追评");
    EXPECT_EQ(fx->items[0].faults.at(0).after, 2);
    EXPECT_EQ(fx->path_faults.at(0).kind, sim::FaultKind::Hang);

    std::string error;
    EXPECT_FALSE(sim::parse_fixture("[item]\nid = 1\nmarket = ebay\n", &error));
    EXPECT_EQ(error.substr(0, 7), "line 3:");
}

TEST_F(SimPages, ItemPagesCarryTitleSellerAndTheTmallForward) {
    const std::string taobao = web.fetch_page("http://item.taobao.com/item.htm?id=36512345001");
    EXPECT_EQ(text_between(taobao, "<title>", utf8_to_gbk("-淘宝网</title>")),
              utf8_to_gbk("2013夏装新款韩版修身显瘦雪纺连衣裙"));
    EXPECT_EQ(text_between(taobao, "userid=", ";"), "710001234");

    const std::string forward = "<script>(function(){if('http://detail.tmall.com/item.htm'){window.location.href="
                                "'http://detail.tmall.com/item.htm'+window.location.search;}})()</script>";
    EXPECT_NE(get("http://item.taobao.com/item.htm?id=18876540002").find(forward), std::string::npos);
    const std::string tmall = web.fetch_page("http://detail.tmall.com/item.htm?id=18876540002");
    EXPECT_EQ(text_between(tmall, "<title>", utf8_to_gbk("-tmall.com天猫</title>")),
              utf8_to_gbk("正品男士休闲纯棉短袖T恤"));
    EXPECT_EQ(text_between(tmall, "userid: '", "'"), "820005678");

    std::string headers;
    const std::string missing =
        web.fetch_page("http://item.taobao.com/item.htm?id=99999", "", "", "", "", "", "", 0, &headers);
    EXPECT_EQ(headers.substr(0, 12), "HTTP/1.1 404");
    EXPECT_EQ(text_between(missing, "userid", ";"), "");
}

TEST_F(SimPages, TmallListCutsIntoRecordsAndRepeatsItsLastPage) {
    const std::string base = "http://rate.tmall.com/list_detail_rate.htm?itemId=18876540002&spuId=&sellerId="
                             "820005678&order=0&forShop=1&append=0&currentPage=";
    const std::string page1 = get_gbk(base + "1"), page2 = get_gbk(base + "2"), page3 = get_gbk(base + "3");
    EXPECT_EQ(count_of(page1, "{\"aliMallSeller\""), 3);
    EXPECT_EQ(count_of(page1, "\"userVipPic\":\"\"}"), 3);
    EXPECT_EQ(count_of(page2, "{\"aliMallSeller\""), 1);
    EXPECT_EQ(page3, page2);

    const std::string record = text_between(page1, "{\"aliMallSeller\"", "\"userVipPic\":\"\"}");
    EXPECT_EQ(text_between(record, "\"rateContent\":\"", "\",\"rateDate\""),
              "衣服质量很好，穿着很舒服。\\\\r\\\\n尺码标准。"_gbk);
    EXPECT_EQ(text_between(record, "\"displayUserNick\":\"", "\""), "风***子"_gbk);
    EXPECT_EQ(text_between(record, "\"rateDate\":\"", "\""), "2013-06-10 14:22:31");
    EXPECT_EQ(text_between(record, "\"auctionSku\":\"", "\""), "颜色分类:藏青色;尺码:XL"_gbk);
}

TEST_F(SimPages, TaobaoListHonoursTheRateTypeAndEndsWithItsMark) {
    const std::string base = "http://rate.taobao.com/feedRateList.htm?userNumId=710001234&auctionNumId=36512345001"
                             "&siteID=7&currentPageNum=";
    const std::string tail = "&orderType=sort_weight&showContent=1&attribute=&callback=jsonp_reviews_list";
    const std::string end_mark = ",\"comments\":null})";
    struct Case {
        const char* rate_type;
        int page;
        int records;
    } cases[] = {{"", 1, 3}, {"", 2, 2}, {"", 3, -1}, {"1", 1, 3}, {"0", 1, 1}, {"-1", 1, 1}, {"2", 1, 2}, {"-1", 2, -1}};
    for (const Case& c : cases) {
        const std::string page = get(base + std::to_string(c.page) + "&rateType=" + c.rate_type + tail);
        SCOPED_TRACE(std::string("rateType=") + c.rate_type + " page " + std::to_string(c.page));
        EXPECT_EQ(page.rfind("jsonp_reviews_list(", 0), 0u);
        if (c.records < 0) {
            EXPECT_NE(page.find(end_mark), std::string::npos);
        } else {
            EXPECT_EQ(page.find(end_mark), std::string::npos);
            EXPECT_EQ(count_of(page, "{\"append\":"), c.records);
            EXPECT_EQ(count_of(page, "\"validscore\":"), c.records);
        }
    }
    const std::string page = get_gbk(base + "1&rateType=" + tail);
    const std::string record = text_between(page, "{\"append\":", "\"validscore\":");
    EXPECT_EQ(text_between(record, "\"content\":\"", "\",\""), "裙子很漂亮，面料很舒服！<br/>\\n穿上显瘦，推荐购买。"_gbk);
    EXPECT_EQ(text_between(record, "\"nick\":\"", "\""), "小***猫"_gbk);
    EXPECT_EQ(text_between(record, "\"date\":\"", "\""), "2013年06月01日 10:21"_gbk);
    EXPECT_NE(record.find("颜色分类:粉红色&nbsp&nbsp尺码:M"_gbk), std::string::npos);
}

TEST_F(SimPages, SearchPagesInBothLayoutsStepByForty) {
    sim::Search grid;
    grid.keyword = "女装";
    grid.sort = "sale-desc";
    grid.grid = true;
    grid.per_page = 2;
    grid.item_ids = {"11111", "22222", "33333"};
    market->fixture().searches.push_back(grid);

    const std::string list = get("http://s.taobao.com/search?&style=grid&q=%C1%AC%D2%C2%C8%B9&sort=renqi-desc"
                                 "&bcoffset=1&newpre=null&s=0");
    const std::string block = text_between(list, "<ul class=\"list-view-enlarge-4pic", "<!-- end list view -->");
    EXPECT_EQ(count_of(block, "<li class=\"list-item"), 3);
    EXPECT_NE(block.find("id=18876540002"), std::string::npos);

    const std::string q = "http://s.taobao.com/search?&style=grid&q=%C5%AE%D7%B0&sort=sale-desc&bcoffset=1&newpre=null&s=";
    const std::string first = get(q + "0"), second = get(q + "40");
    EXPECT_EQ(text_between(first, "<ul class=\"list-view", "<!-- end list view -->"), "");
    const std::string grid1 = text_between(first, "<div class=\"row grid-view\"", "<!--结果内容区-->");
    EXPECT_EQ(count_of(grid1, "<div class=\"col item icon-datalink\""), 2);
    EXPECT_NE(get(q + "40").find("id=33333"), std::string::npos);
    EXPECT_EQ(second.find("id=11111"), std::string::npos);
    // Another sort order has no results for this word.
    EXPECT_EQ(get("http://s.taobao.com/search?&style=grid&q=%C5%AE%D7%B0&sort=credit-desc&s=0").find("grid-view"),
              std::string::npos);
}

TEST_F(SimPages, ShopPagesShowCountAndPagesAndFillTheirListByScript) {
    const std::string first = get("http://shop71000123.taobao.com/search.htm?pageNum=*");
    EXPECT_EQ(text_between(first, "共搜索到 ", " 个符合条件的商品"), "3");
    EXPECT_EQ(text_between(first, "<span class=\"page-info\">", "</span>"), "1/2");
    EXPECT_NE(first.find("<ul class=\"shop-list\"></ul>"), std::string::npos);
    EXPECT_NE(first.find("id=36512345001&ns=1"), std::string::npos);
    const std::string second = get("http://shop71000123.taobao.com/search.htm?pageNum=2");
    EXPECT_EQ(text_between(second, "<span class=\"page-info\">", "</span>"), "2/2");
    EXPECT_NE(second.find("id=27743210003"), std::string::npos);
    EXPECT_EQ(second.find("36512345001"), std::string::npos);
}

TEST_F(SimPages, TheAntiRobotAnswerComesAfterNRequests) {
    sim::Fault robot;
    robot.kind = sim::FaultKind::AntiRobot;
    robot.after = 2;
    market->fixture().items[1].faults.push_back(robot);
    const std::string list = "http://rate.tmall.com/list_detail_rate.htm?itemId=18876540002&currentPage=1";
    EXPECT_NE(get(list).find("aliMallSeller"), std::string::npos);
    EXPECT_NE(get(list).find("aliMallSeller"), std::string::npos);
    EXPECT_EQ(get(list).rfind("{\"rgv587_flag\":\"sm\",\"url\":\"https://sec.taobao.com/query.htm?", 0), 0u);
    EXPECT_NE(get("http://detail.tmall.com/item.htm?id=18876540002").find("亲，小二正忙，滑动一下马上回来"),
              std::string::npos);
}

}  // namespace
}  // namespace qm
