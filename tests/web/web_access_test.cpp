#include "web/web_access.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "market_sim.h"
#include "text/gbk.h"
#include "text/pending_events.h"

namespace qm {
namespace {

using Clock = std::chrono::steady_clock;
using sim::Fault;
using sim::FaultKind;

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Installs a pending-events hook for one test and removes it afterwards.
struct FakeEvents {
    int calls = 0;
    std::function<bool()> on_call = [] { return false; };
    FakeEvents() {
        set_pending_events_hook([this] {
            ++calls;
            return on_call();
        });
    }
    ~FakeEvents() { set_pending_events_hook({}); }
};

sim::Fixture two_items() {
    sim::Fixture fx;
    sim::Item taobao;
    taobao.id = "200002";
    taobao.market = sim::Market::Taobao;
    taobao.title = "男士T恤";
    taobao.seller_id = "3003";
    fx.items.push_back(taobao);
    sim::Item tmall;
    tmall.id = "100001";
    tmall.market = sim::Market::Tmall;
    tmall.title = "夏季新款连衣裙";
    tmall.seller_id = "2001";
    fx.items.push_back(tmall);
    return fx;
}

class FetchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(market.start());
        web.set_default_proxy(market.proxy());
    }
    sim::LoggedRequest only_request() {
        auto log = market.log();
        EXPECT_EQ(log.size(), 1u);
        return log.empty() ? sim::LoggedRequest{} : log.front();
    }
    void add_fault(FaultKind kind, std::string match, std::size_t size = 0, int delay_ms = 0) {
        Fault f;
        f.kind = kind;
        f.match = std::move(match);
        f.size = size;
        f.delay_ms = delay_ms;
        market.fixture().path_faults.push_back(f);
    }

    sim::MarketSim market{two_items()};
    WebAccess web;
};

TEST(HostOfUrl, SplitsLikeTheAddressesTheSystemBuilds) {
    struct Case {
        const char* address;
        bool keep_port;
        const char* host;
    } cases[] = {
        {"http://Item.TAOBAO.com/item.htm?id=1", false, "item.taobao.com"},
        {"http://item.taobao.com:8080/item.htm", false, "item.taobao.com"},
        {"http://item.taobao.com:8080/item.htm", true, "item.taobao.com:8080"},
        {"http://SHOP1.taobao.com", false, "shop1.taobao.com"},
        {"shop1.taobao.com/search.htm", false, "shop1.taobao.com"},
        {"HTTP://a.com/x", false, "http"},  // the scheme is matched with its letter case
        {"", false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WebAccess::host_of_url(c.address, c.keep_port), c.host) << c.address;
}

TEST_F(FetchTest, SendsTheFixedHeadersAndReturnsTheGbkPage) {
    const std::string page = web.fetch_page("http://item.taobao.com/item.htm?id=200002");
    EXPECT_NE(page.find(utf8_to_gbk("<title>男士T恤-淘宝网</title>")), std::string::npos);
    EXPECT_NE(page.find("userid=3003;"), std::string::npos);

    const sim::LoggedRequest r = only_request();
    EXPECT_EQ(r.method, "GET");
    EXPECT_EQ(r.target, "http://item.taobao.com/item.htm?id=200002");
    EXPECT_EQ(r.header("Host"), "item.taobao.com");
    EXPECT_EQ(r.header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
    EXPECT_EQ(r.header("Referer"), "http://item.taobao.com/item.htm?id=200002");
    EXPECT_EQ(r.header("Accept-Language"), "zh-cn");
    EXPECT_EQ(r.header("Accept").substr(0, 22), "image/gif, image/x-xbi");
    EXPECT_EQ(r.header_count("Accept"), 1);
    EXPECT_FALSE(r.has_header("Accept-Encoding"));
    EXPECT_FALSE(r.has_header("Cookie"));
    EXPECT_EQ(r.header("Pragma"), "no-cache");
}

TEST_F(FetchTest, ALowerCaseRefererInTheExtraHeadersReplacesTheAddedOne) {
    web.fetch_page("http://item.taobao.com/item.htm?id=200002", "", "", "", "",
                   "referer: http://s.taobao.com/\r\nX-Extra: 1\r\n");
    const sim::LoggedRequest r = only_request();
    EXPECT_EQ(r.header_count("Referer"), 1);
    EXPECT_EQ(r.header("Referer"), "http://s.taobao.com/");
    EXPECT_EQ(r.header("X-Extra"), "1");
    EXPECT_EQ(r.header("Accept-Language"), "zh-cn");
    EXPECT_TRUE(r.has_header("Accept"));
}

TEST_F(FetchTest, PostSendsItsSevenBytesWithTypeAndLength) {
    web.fetch_page("http://rate.taobao.com/post.htm", "post", "", "", "", "", "a=1&b=2");
    const sim::LoggedRequest r = only_request();
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.body, "a=1&b=2");
    EXPECT_EQ(r.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(r.header("Content-Length"), "7");
    EXPECT_EQ(r.header_count("Content-Length"), 1);

    // The next call, on the same reused transfer handle, is a plain GET again.
    web.fetch_page("http://rate.taobao.com/get.htm");
    const auto log = market.log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].method, "GET");
    EXPECT_EQ(log[1].body, "");
    EXPECT_FALSE(log[1].has_header("Content-Length"));
    EXPECT_FALSE(log[1].has_header("Content-Type"));
}

TEST_F(FetchTest, AnyOtherMethodSendsNothing) {
    std::string headers = "stale";
    for (const char* method : {"PUT", "DELETE", "get "})
        EXPECT_EQ(web.fetch_page("http://item.taobao.com/item.htm?id=200002", method, "", "", "", "", "", 0,
                                 &headers),
                  "");
    EXPECT_EQ(headers, "");
    EXPECT_EQ(market.request_count(), 0u);
    EXPECT_NE(web.fetch_page("http://item.taobao.com/item.htm?id=200002", "GeT"), "");
}

TEST_F(FetchTest, CredentialsGoWithTheRequestUnlessBlank) {
    web.fetch_page("http://item.taobao.com/a", "", "", "user", "pass");
    web.fetch_page("http://item.taobao.com/b", "", "", " ", "\xA1\xA1");
    const auto log = market.log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].header("Authorization"), "Basic dXNlcjpwYXNz");
    EXPECT_FALSE(log[1].has_header("Authorization"));
}

TEST_F(FetchTest, ExplicitPortAndQueryGoDirectWhenNoProxyIsSet) {
    web.set_default_proxy("");
    const std::string address = "http://127.0.0.1:" + std::to_string(market.port()) +
                                "/__sim/cookie?name=sid&value=42&attrs=Max-Age=600";
    std::string headers;
    EXPECT_EQ(web.fetch_page(address, "", "", "", "", "", "", 0, &headers), "cookie set");
    EXPECT_EQ(headers.substr(0, 15), "HTTP/1.1 200 OK");
    EXPECT_NE(headers.find("Set-Cookie: sid=42"), std::string::npos);

    web.fetch_page("http://127.0.0.1:" + std::to_string(market.port()) + "/other");
    const auto log = market.log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].target, address);
    EXPECT_EQ(log[0].header("Referer"), address);
    EXPECT_EQ(log[1].header("Cookie"), "sid=42");
}

TEST_F(FetchTest, AnAddressWithoutSchemeOrPathStillReachesItsHost) {
    web.fetch_page("ITEM.taobao.com");
    web.fetch_page("item.taobao.com/item.htm?id=200002");
    const auto log = market.log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].target, "http://item.taobao.com/");
    EXPECT_EQ(log[0].header("Referer"), "ITEM.taobao.com");
    EXPECT_EQ(log[1].target, "http://item.taobao.com/item.htm?id=200002");
}

TEST_F(FetchTest, SpacesInTheAddressAreSentEscapedAndOtherBytesUnchanged) {
    const std::string page = web.fetch_page("http://item.taobao.com/item.htm?id=200002 ");
    EXPECT_NE(page, "");
    EXPECT_EQ(page.find("userid"), std::string::npos);  // no such item
    web.fetch_page("http://s.taobao.com/search?q=\xC5\xAE\xD7\xB0&x=a\tb");
    const auto log = market.log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].target, "http://item.taobao.com/item.htm?id=200002%20");
    EXPECT_EQ(log[1].target, "http://s.taobao.com/search?q=\xC5\xAE\xD7\xB0&x=a%09b");
}

TEST_F(FetchTest, TheProxyArgumentWinsOverTheDefaultAndBlankMeansDefault) {
    web.set_default_proxy("127.0.0.1:1");  // nothing listens there
    EXPECT_EQ(web.fetch_page("http://item.taobao.com/item.htm?id=200002", "", " \xA1\xA1 "), "");
    EXPECT_NE(web.fetch_page("http://item.taobao.com/item.htm?id=200002", "", market.proxy()), "");
    EXPECT_EQ(market.request_count(), 1u);
}

TEST_F(FetchTest, ARedirectChainsCookiesReachLaterCallsOfTheirDomain) {
    market.fixture().items[0].faults.push_back({FaultKind::RedirectChain, sim::FaultWhere::ItemPage, "", 0, 0, 3});
    std::string headers;
    const std::string page =
        web.fetch_page("http://item.taobao.com/item.htm?id=200002", "", "", "", "", "", "", 0, &headers);
    EXPECT_NE(page.find(utf8_to_gbk("男士T恤-淘宝网")), std::string::npos);
    EXPECT_EQ(headers.substr(0, 15), "HTTP/1.1 200 OK");  // the final response's block

    auto log = market.log();
    ASSERT_EQ(log.size(), 5u);  // page, three hops, page again
    EXPECT_EQ(log[1].host(), "login.taobao.com");
    EXPECT_EQ(log[2].header("Cookie"), "sim_hop1=1");
    EXPECT_NE(log[4].header("Cookie").find("sim_hop0=1"), std::string::npos);
    EXPECT_NE(log[4].header("Cookie").find("sim_pass=1"), std::string::npos);

    market.clear_log();
    web.fetch_page("http://rate.taobao.com/feedRateList.htm?auctionNumId=200002");
    web.fetch_page("http://rate.tmall.com/list_detail_rate.htm?itemId=100001");
    log = market.log();
    ASSERT_EQ(log.size(), 2u);
    const std::string sent = log[0].header("Cookie");
    EXPECT_NE(sent.find("sim_pass=1"), std::string::npos);
    EXPECT_NE(sent.find("sim_hop2=1"), std::string::npos);
    EXPECT_EQ(sent.find("sim_hop0"), std::string::npos);  // that one belongs to item.taobao.com only
    EXPECT_FALSE(log[1].has_header("Cookie"));
}

TEST_F(FetchTest, CookiesOfTheFinalResponseAreAlsoKeptForTheRequestedHost) {
    // A redirect to another host whose answer sets a host-only cookie.
    const std::string target = "http%3A%2F%2Fdetail.tmall.com%2F__sim%2Fcookie%3Fname%3Dcart%26value%3D9";
    web.fetch_page("http://item.taobao.com/__sim/redirect?to=" + target);
    market.clear_log();
    web.fetch_page("http://item.taobao.com/item.htm?id=200002");
    web.fetch_page("http://detail.tmall.com/__sim/x");
    const auto log = market.log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].header("Cookie"), "cart=9");
    EXPECT_EQ(log[1].header("Cookie"), "cart=9");
}

TEST_F(FetchTest, AHeaderBlockOfAnySizeIsReturnedWholeAndItsCookiesKept) {
    std::string headers;
    web.fetch_page("http://shop1.taobao.com/__sim/cookie?name=big&value=1&pad=4000", "", "", "", "", "", "", 0,
                   &headers);
    EXPECT_GT(headers.size(), 4000u);
    EXPECT_NE(headers.find("Set-Cookie: big=1"), std::string::npos);
    EXPECT_EQ(headers.find("\r\n\r\n"), std::string::npos);
    market.clear_log();
    web.fetch_page("http://shop1.taobao.com/x");
    EXPECT_EQ(only_request().header("Cookie"), "big=1");
}

TEST_F(FetchTest, CookiesAreSharedSafelyByConcurrentNestedCalls) {
    // Each hook call starts another fetch while the outer ones still run.
    FakeEvents events;
    int depth = 0, started = 0;
    events.on_call = [&] {
        if (depth >= 3 || started >= 6) return false;
        ++depth;
        ++started;
        const std::string n = std::to_string(started);
        web.fetch_page("http://item.taobao.com/__sim/cookie?name=c" + n + "&value=" + n);
        --depth;
        return true;
    };
    add_fault(FaultKind::Delay, "/slow", 0, 300);
    EXPECT_NE(web.fetch_page("http://item.taobao.com/slow").find("404 Not Found"), std::string::npos);
    set_pending_events_hook({});
    market.clear_log();
    web.fetch_page("http://item.taobao.com/x");
    const std::string sent = only_request().header("Cookie");
    for (int i = 1; i <= 6; ++i) EXPECT_NE(sent.find("c" + std::to_string(i) + "="), std::string::npos) << sent;
}

TEST_F(FetchTest, ErrorStatusBodiesAreReturnedAndTheBodyEndsAtItsFirstNul) {
    add_fault(FaultKind::ServerError, "/broken");
    std::string headers;
    EXPECT_NE(web.fetch_page("http://item.taobao.com/broken", "", "", "", "", "", "", 0, &headers)
                  .find("500 Internal Server Error"),
              std::string::npos);
    EXPECT_EQ(headers.substr(0, 12), "HTTP/1.1 500");
    EXPECT_EQ(web.fetch_page("http://item.taobao.com/__sim/nul"), "before");
    add_fault(FaultKind::Garbage, "/garbage", 5000);
    EXPECT_EQ(web.fetch_page("http://item.taobao.com/garbage"), sim::garbage_bytes(5000).substr(0, 2500));
}

TEST_F(FetchTest, BrokenTransfersAndHugeBodiesGiveEmptyText) {
    add_fault(FaultKind::Reset, "/reset");
    add_fault(FaultKind::Huge, "/huge");  // 80 MiB
    std::string headers = "stale";
    EXPECT_EQ(web.fetch_page("http://item.taobao.com/reset", "", "", "", "", "", "", 0, &headers), "");
    EXPECT_EQ(headers, "");
    EXPECT_EQ(web.fetch_page("http://item.taobao.com/huge"), "");
}

TEST_F(FetchTest, AHangingServerGivesEmptyTextAtTheTimeLimit) {
    add_fault(FaultKind::Hang, "/hang");
    FakeEvents events;
    const auto start = Clock::now();
    EXPECT_EQ(web.fetch_page("http://item.taobao.com/hang", "", "", "", "", "", "", 1), "");
    const double took = seconds_since(start);
    EXPECT_GE(took, 1.0);
    EXPECT_LT(took, 1.8);
    EXPECT_GT(events.calls, 10);  // the window stayed alive meanwhile
}

TEST_F(FetchTest, WindowEventsRestartTheTimeLimit) {
    add_fault(FaultKind::Delay, "/slow", 0, 1500);
    FakeEvents events;
    const auto start = Clock::now();
    // An event every call during the first 0.9 s: the 1 s limit then runs out
    // no earlier than 1.9 s, after the page has come.
    events.on_call = [&] { return seconds_since(start) < 0.9; };
    EXPECT_NE(web.fetch_page("http://item.taobao.com/slow", "", "", "", "", "", "", 1), "");

    events.on_call = [] { return false; };
    EXPECT_EQ(web.fetch_page("http://item.taobao.com/slow", "", "", "", "", "", "", 1), "");
}

TEST_F(FetchTest, AFetchNestedInsideTheWaitOfAnotherCompletesFirst) {
    add_fault(FaultKind::Delay, "/slow", 0, 400);
    FakeEvents events;
    std::string inner;
    events.on_call = [&] {
        if (!inner.empty()) return false;
        inner = web.fetch_page("http://item.taobao.com/item.htm?id=200002");
        return true;
    };
    const std::string outer = web.fetch_page("http://detail.tmall.com/slow");
    EXPECT_NE(inner.find("userid=3003;"), std::string::npos);
    EXPECT_NE(outer.find("404 Not Found"), std::string::npos);
}

TEST_F(FetchTest, AnUnreachableServerReturnsAtOnce) {
    web.set_default_proxy("");
    const auto start = Clock::now();
    std::string headers = "stale";
    EXPECT_EQ(web.fetch_page("http://127.0.0.1:1/item.htm", "", "", "", "", "", "", 20, &headers), "");
    EXPECT_EQ(headers, "");
    EXPECT_LT(seconds_since(start), 2.0);
}

// Waits up to five seconds for the simulator to have seen `count` requests.
bool requests_arrive(const sim::MarketSim& market, std::size_t count) {
    const auto until = Clock::now() + std::chrono::seconds(5);
    while (market.request_count() < count && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return market.request_count() >= count;
}

TEST_F(FetchTest, AStartedFetchIsOnItsWayBeforeItIsFinished) {
    PendingFetch first = web.start_fetch("http://item.taobao.com/item.htm?id=200002");
    PendingFetch second = web.start_fetch("http://detail.tmall.com/item.htm?id=100001");
    EXPECT_TRUE(first.active());
    // Nobody waits yet, and both requests still reach the server.
    EXPECT_TRUE(requests_arrive(market, 2));
    std::string headers;
    EXPECT_NE(web.finish_fetch(second, &headers).find("夏季新款连衣裙"_gbk), std::string::npos);
    EXPECT_NE(headers.find("HTTP/1.1 200"), std::string::npos);
    EXPECT_NE(web.finish_fetch(first).find("userid=3003;"), std::string::npos);
    EXPECT_FALSE(first.active());
    EXPECT_EQ(web.finish_fetch(first), "");  // finished once only
    EXPECT_EQ(web.finish_fetch(second, &headers), "");
    EXPECT_EQ(headers, "");
}

TEST_F(FetchTest, ADroppedFetchIsCancelledAndTheNextOneStillWorks) {
    add_fault(FaultKind::Hang, "/hang");
    {
        PendingFetch dropped = web.start_fetch("http://item.taobao.com/hang");
        ASSERT_TRUE(requests_arrive(market, 1));
    }  // must not wait for the hanging server
    PendingFetch replaced = web.start_fetch("http://item.taobao.com/hang");
    replaced = web.start_fetch("http://item.taobao.com/item.htm?id=200002");
    EXPECT_NE(web.finish_fetch(replaced).find("userid=3003;"), std::string::npos);
    EXPECT_FALSE(web.start_fetch("http://item.taobao.com/", "PUT").active());
}

}  // namespace
}  // namespace qm
