#pragma once

// The simulated marketplace: an HTTP proxy on loopback that answers every
// request by the host and path of its absolute target, the way the real
// marketplace servers would, with pages in GBK. Tests embed it and point the
// fetch proxy at proxy(); the headless collector's demo mode runs it too.
//
// Fixture texts (titles, reviews, keywords) are UTF-8; the pages are GBK.

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qm::sim {

enum class Market { Taobao, Tmall };

// The review-type filter of the Taobao list: rateType 1 good, 0 neutral,
// -1 bad; rateType 2 selects the reviews that carry a follow-up text.
enum class RateType { Good, Neutral, Bad };

struct Attribute {
    std::string name;   // e.g. "颜色分类", "尺码"
    std::string value;  // e.g. "黑色", "XL"
};

struct Review {
    std::string buyer;
    std::string date;     // written as the page writes it
    std::string content;  // "\n" marks a line break; entities stay as written
    std::vector<Attribute> attributes;
    // Follow-up text, empty when none. The Taobao list writes it as the
    // record's "append" object, ahead of the review's own content.
    std::string append;
    RateType rate = RateType::Good;
};

enum class FaultKind {
    None,
    Delay,          // answers normally after delay_ms
    Hang,           // never answers (until the simulator stops)
    Reset,          // sends the headers and part of the body, then drops the connection
    ServerError,    // status 500 with a short body
    Garbage,        // status 200, size bytes of garbage_bytes(size)
    Huge,           // status 200, a body of size bytes (default 80 MiB), streamed
    RedirectChain,  // size hops of 302 setting cookies, then back to the page
    AntiRobot,      // the anti-robot answer instead of the page
};

// Which requests of an item a fault hits.
enum class FaultWhere { Any, ItemPage, ReviewList };

struct Fault {
    FaultKind kind = FaultKind::None;
    FaultWhere where = FaultWhere::Any;  // only for faults of an item
    std::string match;  // path faults: a substring of the absolute target
    int after = 0;      // the first `after` matching requests are answered normally
    int delay_ms = 0;   // Delay; Hang ignores it
    std::size_t size = 0;  // Garbage/Huge bytes, RedirectChain hops; 0 = default
};

struct Item {
    std::string id;
    Market market = Market::Taobao;
    std::string title;
    std::string seller_id;  // empty: the page carries no seller ID
    std::vector<Review> reviews;
    std::vector<Fault> faults;
    int page_size = 0;       // reviews per list page; 0 = the fixture's
    std::string extra_html;  // raw UTF-8 markup added to the item page's body
};

// Keyword search results: the ids shown for a keyword (and sort key, when
// given), per_page entries on each page step of 40.
struct Search {
    std::string keyword;  // UTF-8, compared with the decoded query
    std::string sort;     // "renqi-desc", "sale-desc", "credit-desc"; empty = any
    bool grid = false;    // grid layout instead of the list layout
    bool unquoted = false;  // class attributes written without quotes
    int per_page = 40;
    std::vector<std::string> item_ids;
};

// A shop's listing pages http://<host>/search.htm?pageNum=N. The item list is
// filled in by a script after load, so only a browser sees it.
struct Shop {
    std::string host;  // e.g. "shop123.taobao.com", lower case
    int per_page = 20;
    std::vector<std::string> item_ids;
};

struct Fixture {
    int page_size = 20;  // reviews per list page
    std::vector<Item> items;
    std::vector<Search> searches;
    std::vector<Shop> shops;
    std::vector<Fault> path_faults;

    Item* find_item(std::string_view id);
    const Item* find_item(std::string_view id) const;
};

// The fixture text format (UTF-8, one setting a line, "#" starts a comment):
//
//   page_size = 20
//   [item]
//   id = 100001
//   market = tmall                  (taobao | tmall)
//   title = 夏季新款连衣裙
//   seller = 2001
//   page_size = 5
//   extra_html = <p>...</p>
//   review = buyer | date | good | content with \n breaks | 颜色分类:黑色;尺码:XL | follow-up
//   fault = delay where=rate ms=300 after=2 size=0
//   [search]
//   keyword = 女装
//   sort = sale-desc
//   layout = grid                   (list | grid)
//   unquoted = 1
//   per_page = 40
//   ids = 1001 1002 1003
//   [shop]
//   host = shop123.taobao.com
//   per_page = 20
//   ids = 1001 1002
//   [fault]
//   kind = hang
//   match = s.taobao.com/search
//   after = 0
//
// Review fields are split at " | "; the last ones may be left out. Fault
// kinds: delay hang reset error garbage huge redirect antirobot.
std::optional<Fixture> parse_fixture(std::string_view text, std::string* error = nullptr);
std::optional<Fixture> load_fixture(const std::string& path, std::string* error = nullptr);

// The deterministic garbage body of a Garbage fault: high bytes and control
// bytes, with a single NUL at size / 2.
std::string garbage_bytes(std::size_t size);

// One request as the simulator received it.
struct LoggedRequest {
    std::string method;
    std::string target;  // absolute URL, "http://host/path?query"
    // In name order; the server library percent-decodes header values, so
    // compare values that carry "%" with that in mind.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    // First value of a header (name compared ignoring case), empty when absent.
    std::string header(std::string_view name) const;
    bool has_header(std::string_view name) const;
    int header_count(std::string_view name) const;
    std::string host() const;  // lower-case host of the target, without port
};

// Besides the marketplace pages, every host answers these paths, which tests
// of page fetching use:
//   /__sim/body?size=N              a page of N bytes
//   /__sim/nul                      "before", a NUL byte, "after"
//   /__sim/cookie?name=&value=&attrs=&pad=N
//                                   sets that cookie, after N bytes of extra header lines
//   /__sim/redirect?to=URL&cookie=name%3Dvalue
//                                   302 to URL (percent-encoded), setting the cookie
//   /__sim/status?code=N            that status with a short body
// Anything else gets a 404 page.
class MarketSim {
public:
    explicit MarketSim(Fixture fixture = {});
    ~MarketSim();  // stops
    MarketSim(const MarketSim&) = delete;
    MarketSim& operator=(const MarketSim&) = delete;

    // Binds 127.0.0.1 on a free port and serves on a thread of its own.
    bool start();
    // Releases hanging requests and stops; safe to call twice.
    void stop();

    int port() const;
    std::string proxy() const;  // "127.0.0.1:<port>"

    // The fixture may be changed between requests (not while one runs).
    Fixture& fixture();

    std::vector<LoggedRequest> log() const;
    std::size_t request_count() const;
    void clear_log();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qm::sim
