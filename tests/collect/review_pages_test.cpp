#include "collect/review_pages.h"

#include <gtest/gtest.h>

#include <chrono>

#include "collect/collect_item.h"
#include "collect/item_info.h"
#include "collect/run_context.h"
#include "text/pending_events.h"
#include "sim_harness.h"

namespace qm {
namespace {

using test::item;
using test::review;
using test::SimHarness;
using Strings = std::vector<std::string>;

// Pages through one item of the simulator, recording what reached accept_review.
class ReviewPagesTest : public ::testing::Test {
protected:
    void serve(sim::Fixture fixture) {
        harness_ = std::make_unique<SimHarness>(std::move(fixture));
        run_ = std::make_unique<RunContext>(harness_->web(), harness_->regex());
    }

    Strings page(const sim::Item& it, std::function<bool(const RawReview&)> accept = {}) {
        ItemInfo info;
        info.item_id = it.id;
        info.seller_id = it.seller_id;
        info.marketplace = it.market == sim::Market::Tmall ? Marketplace::Tmall : Marketplace::Taobao;
        Strings seen;
        const AcceptReview record = [&](const RawReview& r) {
            seen.push_back(gbk_to_utf8(r.content));
            reviews_.push_back(r);
            return accept ? accept(r) : true;
        };
        if (info.marketplace == Marketplace::Tmall)
            collect_tmall_reviews(info, settings_, *run_, record);
        else
            collect_taobao_reviews(info, settings_, *run_, record);
        return seen;
    }

    size_t list_requests() {
        return harness_->requests("list_detail_rate.htm").size() + harness_->requests("feedRateList.htm").size();
    }

    std::unique_ptr<SimHarness> harness_;
    std::unique_ptr<RunContext> run_;
    CollectSettings settings_;
    std::vector<RawReview> reviews_;
};

sim::Fixture one(sim::Item it, int page_size = 5) {
    sim::Fixture f;
    f.page_size = page_size;
    f.items.push_back(std::move(it));
    return f;
}

TEST_F(ReviewPagesTest, TmallEndsWhenThePageRepeats) {
    const auto it = item("30000001", sim::Market::Tmall, "t", 12);
    serve(one(it));
    const Strings seen = page(it);
    ASSERT_EQ(seen.size(), 12u);
    EXPECT_EQ(seen.front(), "review 1");
    EXPECT_EQ(seen.back(), "review 12");
    EXPECT_EQ(list_requests(), 4u);  // page 4 repeats page 3 and ends the paging
    const Strings addresses = harness_->requests("list_detail_rate.htm");
    EXPECT_EQ(addresses[1], "http://rate.tmall.com/list_detail_rate.htm?itemId=30000001&spuId=&sellerId=2001"
                            "&order=0&forShop=1&append=0&currentPage=2&ismore=1&content=1");
}

TEST_F(ReviewPagesTest, TmallFieldsLineBreaksAndSku) {
    sim::Item it = item("30000002", sim::Market::Tmall, "t", 0);
    it.reviews.push_back(review("第一句\n第二句", "买家甲", "颜色分类:黑色;尺码:XL"));
    serve(one(it));
    page(it);
    ASSERT_EQ(reviews_.size(), 1u);
    EXPECT_EQ(gbk_to_utf8(reviews_[0].content), "第一句\r\n第二句");
    EXPECT_EQ(gbk_to_utf8(reviews_[0].buyer), "买家甲");
    EXPECT_EQ(reviews_[0].date, "2024-05-06");
    EXPECT_EQ(gbk_to_utf8(reviews_[0].attribute_source), "颜色分类:黑色;尺码:XL\"");
}

TEST_F(ReviewPagesTest, PageLimitsOnBothMarketplaces) {
    struct Case {
        sim::Market market;
        int limit;
        size_t requests;
    } cases[] = {{sim::Market::Tmall, 1, 1}, {sim::Market::Taobao, 2, 2}, {sim::Market::Taobao, 0, 6}};
    for (const auto& c : cases) {
        const auto it = item("30000003", c.market, "t", 25);  // five full pages
        serve(one(it));
        settings_.page_limit = c.limit;
        page(it);
        EXPECT_EQ(list_requests(), c.requests) << c.limit;
    }
}

TEST_F(ReviewPagesTest, PreviewStopsAtTenAcceptedReviews) {
    for (auto market : {sim::Market::Tmall, sim::Market::Taobao}) {
        const auto it = item("30000004", market, "t", 30);
        serve(one(it, 12));
        settings_.preview = true;
        // Every third review is rejected and does not count.
        int n = 0;
        const Strings seen = page(it, [&](const RawReview&) { return ++n % 3 != 0; });
        EXPECT_EQ(seen.size(), 14u);  // 10 accepted, 4 rejected
        EXPECT_EQ(list_requests(), 2u);
    }
    const auto it = item("30000005", sim::Market::Taobao, "t", 30);
    serve(one(it, 20));
    settings_.preview = true;
    EXPECT_EQ(page(it).size(), 10u);  // the eleventh record is not looked at
    EXPECT_EQ(list_requests(), 1u);
}

// A stop request comes with the window events of a click, which run while a
// page is on its way; the page that then arrives is read up to its first
// accepted review, or whole when it has none.
TEST_F(ReviewPagesTest, StopIsSeenAfterAnAcceptedReviewOrAfterThePage) {
    const auto it = item("30000006", sim::Market::Taobao, "t", 20);
    for (bool accepting : {true, false}) {
        serve(one(it));
        set_pending_events_hook([&] {
            run_->stop_requested = true;
            return true;
        });
        const Strings seen = page(it, [&](const RawReview&) { return accepting; });
        set_pending_events_hook({});
        EXPECT_EQ(seen.size(), accepting ? 1u : 5u);
        EXPECT_EQ(list_requests(), 1u);
    }
}

// The next page is requested while the current one is read; a click that
// comes meanwhile still leaves the page in hand whole, as if the request
// had followed the reading.
TEST_F(ReviewPagesTest, TheNextPageIsOnItsWayWhileAPageIsRead) {
    for (auto market : {sim::Market::Tmall, sim::Market::Taobao}) {
        const auto it = item("30000007", market, "t", 20);
        serve(one(it));
        bool second_page_seen = false;
        int n = 0;
        page(it, [&](const RawReview&) {
            if (++n == 1) second_page_seen = harness_->wait_for_requests(2);
            return true;
        });
        EXPECT_TRUE(second_page_seen);
        EXPECT_EQ(list_requests(), 5u);  // four pages and the end

        serve(one(it));
        std::string caption;
        run_->set_status = [&](std::string_view text) { caption = gbk_to_utf8(text); };
        set_pending_events_hook([&] {
            if (caption.find("正采集 2 页") != std::string::npos) run_->stop_requested = true;
            return false;
        });
        const Strings seen = page(it);
        set_pending_events_hook({});
        ASSERT_EQ(seen.size(), 6u);  // page 1 whole, then page 2 up to its first review
        EXPECT_EQ(seen.back(), "review 6");
        EXPECT_EQ(list_requests(), 2u);
    }
}

TEST_F(ReviewPagesTest, TaobaoReviewTypeCodes) {
    const char* codes[] = {"&rateType=&orderType=sort_weight", "&rateType=1&", "&rateType=0&",
                           "&rateType=-1&", "&rateType=2&", "&rateType=&orderType"};
    for (int type = 0; type <= 5; ++type) {
        const auto it = item("30000007", sim::Market::Taobao, "t", 3);
        serve(one(it));
        settings_.review_type = type == 5 ? -1 : type;
        page(it);
        const Strings addresses = harness_->requests("feedRateList.htm");
        ASSERT_FALSE(addresses.empty());
        for (const auto& a : addresses) EXPECT_NE(a.find(codes[type]), std::string::npos) << a;
    }
    EXPECT_EQ(taobao_review_address(ItemInfo{"5", Marketplace::Taobao, "7", "", ""}, 3, 3),
              "http://rate.taobao.com/feedRateList.htm?userNumId=7&auctionNumId=5&siteID=7&currentPageNum=3"
              "&rateType=-1&orderType=sort_weight&showContent=1&attribute=&callback=jsonp_reviews_list");
}

TEST_F(ReviewPagesTest, TaobaoEndMarkOnTheFirstPage) {
    const auto it = item("30000008", sim::Market::Taobao, "t", 0);
    serve(one(it));
    EXPECT_TRUE(page(it).empty());
    EXPECT_EQ(list_requests(), 1u);
}

TEST_F(ReviewPagesTest, TaobaoFieldsAndWholeRecordAsAttributes) {
    sim::Item it = item("30000009", sim::Market::Taobao, "t", 0);
    it.reviews.push_back(review("前一句\n后一句", "nick1", "颜色分类:白色;尺码:M"));
    serve(one(it));
    page(it);
    ASSERT_EQ(reviews_.size(), 1u);
    EXPECT_EQ(gbk_to_utf8(reviews_[0].content), "前一句\r\n后一句");
    EXPECT_EQ(reviews_[0].buyer, "nick1");
    EXPECT_EQ(reviews_[0].date, "2024-05-06");
    EXPECT_NE(gbk_to_utf8(reviews_[0].attribute_source).find("白色"), std::string::npos);
}

TEST_F(ReviewPagesTest, VerificationPageEndsPagingAtOnce) {
    for (auto market : {sim::Market::Tmall, sim::Market::Taobao}) {
        sim::Item it = item("30000010", market, "t", 20);
        sim::Fault fault;
        fault.kind = sim::FaultKind::AntiRobot;
        fault.where = sim::FaultWhere::ReviewList;
        fault.after = 1;
        it.faults.push_back(fault);
        serve(one(it));
        EXPECT_EQ(page(it).size(), 5u);
        EXPECT_EQ(list_requests(), 2u);
        EXPECT_EQ(run_->items_stopped_by_verification, 1);
    }
}

TEST_F(ReviewPagesTest, ThreeRecordlessPagesInARowEndPaging) {
    for (auto market : {sim::Market::Tmall, sim::Market::Taobao}) {
        sim::Item it = item("30000011", market, "t", 20);
        sim::Fault fault;
        fault.kind = sim::FaultKind::Garbage;
        fault.where = sim::FaultWhere::ReviewList;
        fault.after = 1;
        fault.size = 200;
        it.faults.push_back(fault);
        serve(one(it));
        EXPECT_EQ(page(it).size(), 5u);
        EXPECT_EQ(list_requests(), 4u);  // one good page, three without records
        EXPECT_EQ(run_->items_stopped_by_verification, 0);
    }
    // A single record-less page does not end the paging.
    sim::Item it = item("30000012", sim::Market::Tmall, "t", 0);
    serve(one(it));
    settings_.page_limit = 2;
    page(it);
    EXPECT_EQ(list_requests(), 2u);
}

TEST_F(ReviewPagesTest, PauseBeforeEachRequestKeepsEventsRunning) {
    const auto it = item("30000013", sim::Market::Taobao, "t", 10);
    serve(one(it));
    run_->request_interval_ms = 40;
    int events = 0;
    set_pending_events_hook([&] {
        ++events;
        return false;
    });
    const auto start = std::chrono::steady_clock::now();
    page(it);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(list_requests(), 3u);
    EXPECT_GE(elapsed, std::chrono::milliseconds(3 * 40));
    EXPECT_GE(events, 3 * 3);  // several times within each pause
}

TEST(ReviewPages, ProgressTextAndVerificationMarks) {
    EXPECT_EQ(gbk_to_utf8(progress_text(3, 2)), "停止..已生成 3 篇|正采集 2 页");
    EXPECT_TRUE(is_verification_page("{\"rgv587_flag\":\"sm\",\"url\":\"x\"}"));
    EXPECT_TRUE(is_verification_page("location='http://SEC.taobao.com/query.htm'"));
    EXPECT_TRUE(is_verification_page("https://login.taobao.com/member/login.jhtml"));
    EXPECT_TRUE(is_verification_page("<p>亲，小二正忙，滑动一下马上回来</p>"_gbk));
    EXPECT_FALSE(is_verification_page("{\"comments\":[]}"));
}

}  // namespace
}  // namespace qm
