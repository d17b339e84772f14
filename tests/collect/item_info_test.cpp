#include "collect/item_info.h"

#include <gtest/gtest.h>

#include "collect/collect_item.h"
#include "collect/run_context.h"
#include "sim_harness.h"

namespace qm {
namespace {

using test::item;
using test::SimHarness;

sim::Fixture market() {
    sim::Fixture f;
    f.page_size = 5;
    f.items.push_back(item("23274328099", sim::Market::Taobao, "淘宝商品", 3));
    f.items.push_back(item("41000000001", sim::Market::Tmall, "天猫商品", 3));
    sim::Item no_seller = item("41000000002", sim::Market::Taobao, "无卖家", 3);
    no_seller.seller_id.clear();
    f.items.push_back(no_seller);
    return f;
}

TEST(ResolveItem, ItemIdFromTheLine) {
    SimHarness h(market());
    struct Case {
        std::string line, id;
    } cases[] = {
        {"http://item.taobao.com/item.htm?spm=a1.b2&id=23274328099&ns=1", "23274328099"},
        {"http://item.taobao.com/item.htm?ID=23274328099", "23274328099"},
        {"https://x/item.htm?id=1234", "https://x/item.htm?id=1234"},
        {"http://x/list?itemId=23274328099", "http://x/list?itemId=23274328099"},
        {"23274328099", "23274328099"},
        {"23274328099 ", "23274328099 "},
        {"http://x/?id=11111&id=22222", "11111"},
    };
    for (const auto& c : cases) EXPECT_EQ(resolve_item(c.line, h.web(), h.regex().a).item_id, c.id) << c.line;
}

TEST(ResolveItem, TaobaoAndTmallPages) {
    SimHarness h(market());
    const ItemInfo taobao = resolve_item("23274328099", h.web(), h.regex().a);
    EXPECT_EQ(taobao.marketplace, Marketplace::Taobao);
    EXPECT_EQ(taobao.seller_id, "2001");
    EXPECT_EQ(gbk_to_utf8(taobao.title), "淘宝商品");
    EXPECT_EQ(taobao.page_title, taobao.title);
    EXPECT_TRUE(taobao.resolved());
    EXPECT_EQ(h.sim().request_count(), 1u);

    h.sim().clear_log();
    const ItemInfo tmall = resolve_item("http://detail.tmall.com/item.htm?id=41000000001", h.web(), h.regex().a);
    EXPECT_EQ(tmall.marketplace, Marketplace::Tmall);
    EXPECT_EQ(gbk_to_utf8(tmall.title), "天猫商品");
    EXPECT_EQ(tmall.seller_id, "2001");
    const auto log = h.sim().log();
    ASSERT_EQ(log.size(), 2u);  // the Taobao address forwards to Tmall
    EXPECT_EQ(log[0].target, "http://item.taobao.com/item.htm?id=41000000001");
    EXPECT_EQ(log[1].target, "http://detail.tmall.com/item.htm?id=41000000001");
}

TEST(ResolveItem, UnresolvedItemsMakeNoReviewRequest) {
    SimHarness h(market());
    RunContext run(h.web(), h.regex());
    CollectSettings settings;
    for (const char* line : {"41000000002", "99999999999", "notanitem"}) {
        h.sim().clear_log();
        const ItemResult result = collect_item(line, settings, run);
        EXPECT_EQ(result.text, "") << line;
        EXPECT_EQ(h.sim().request_count(), 1u) << line;
    }
    EXPECT_EQ(gbk_to_utf8(collect_item("41000000002", settings, run).title), "无卖家");

    h.sim().stop();  // a failed fetch gives an empty page and no second request
    const ItemInfo none = resolve_item("23274328099", h.web(), h.regex().a);
    EXPECT_FALSE(none.resolved());
    EXPECT_TRUE(none.title.empty());
}

TEST(ResolveItem, MarkersOfTheRedirectAndTitle) {
    EXPECT_EQ(tmall_redirect_script(),
              "<script>(function(){if('http://detail.tmall.com/item.htm'){window.location.href='"
              "http://detail.tmall.com/item.htm'+window.location.search;}})()</script>");
    EXPECT_EQ(gbk_to_utf8(tmall_title_ending()), "-tmall.com天猫</title>");
}

}  // namespace
}  // namespace qm
