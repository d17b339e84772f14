#include "market_sim.h"

#include <httplib.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "market_pages.h"
#include "text/gbk.h"
#include "web/web_access.h"

namespace qm::sim {

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool iequals(std::string_view a, std::string_view b) { return lower(a) == lower(b); }

int to_int(std::string_view s, int fallback) {
    int n = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    return ec == std::errc() && p == s.data() + s.size() ? n : fallback;
}

// The registrable domain of a marketplace host: "item.taobao.com" -> "taobao.com".
std::string domain_of(std::string_view host) {
    size_t last = host.rfind('.');
    if (last == std::string_view::npos || last == 0) return std::string(host);
    size_t before = host.rfind('.', last - 1);
    return std::string(before == std::string_view::npos ? host : host.substr(before + 1));
}

struct Target {
    std::string absolute;  // http://host[:port]/path?query
    std::string host;      // lower case, no port
    std::string path;
    std::string query;
};

Target parse_target(const httplib::Request& req) {
    Target t;
    std::string rest;
    std::string host_port;
    if (lower(req.target.substr(0, 7)) == "http://") {
        std::string_view after = std::string_view(req.target).substr(7);
        size_t slash = after.find('/');
        host_port = std::string(after.substr(0, slash));
        rest = slash == std::string_view::npos ? "/" : std::string(after.substr(slash));
    } else {
        host_port = req.get_header_value("Host");
        rest = req.target;
    }
    t.absolute = "http://" + host_port + rest;
    t.host = lower(host_port.substr(0, host_port.find(':')));
    size_t q = rest.find('?');
    t.path = rest.substr(0, q);
    t.query = q == std::string::npos ? "" : rest.substr(q + 1);
    return t;
}

enum class PageKind { Other, ItemPage, ReviewList };

}  // namespace

std::string LoggedRequest::header(std::string_view name) const {
    for (const auto& [k, v] : headers)
        if (iequals(k, name)) return v;
    return {};
}

bool LoggedRequest::has_header(std::string_view name) const { return header_count(name) > 0; }

int LoggedRequest::header_count(std::string_view name) const {
    int n = 0;
    for (const auto& [k, v] : headers)
        if (iequals(k, name)) ++n;
    return n;
}

std::string LoggedRequest::host() const {
    std::string_view t = target;
    if (t.substr(0, 7) == "http://") t.remove_prefix(7);
    t = t.substr(0, t.find('/'));
    return lower(t.substr(0, t.find(':')));
}

struct MarketSim::Impl {
    Fixture fixture;
    httplib::Server server;
    std::thread thread;
    int port = 0;
    bool started = false;

    mutable std::mutex mutex;  // log, fault counters, stop flag
    std::condition_variable stop_cv;
    bool stopping = false;
    std::vector<LoggedRequest> log;
    std::map<std::pair<std::string, size_t>, int> fault_counts;  // (item id or "", index)

    void handle(const httplib::Request& req, httplib::Response& res);
    void serve(const Target& t, const httplib::Request& req, httplib::Response& res);
    const Fault* pick_fault(const Target& t, const Item* item, PageKind kind);
    bool apply_fault(const Fault& fault, const Target& t, const httplib::Request& req, httplib::Response& res,
                     PageKind kind);
    // Waits up to `ms` (forever when negative); false when the simulator stops.
    bool wait(int ms);
};

MarketSim::MarketSim(Fixture fixture) : impl_(std::make_unique<Impl>()) {
    impl_->fixture = std::move(fixture);
}

MarketSim::~MarketSim() { stop(); }

Fixture& MarketSim::fixture() { return impl_->fixture; }

bool MarketSim::start() {
    Impl& im = *impl_;
    if (im.started) return true;
    im.server.new_task_queue = [] { return new httplib::ThreadPool(16); };
    im.server.set_keep_alive_max_count(1);
    im.server.set_read_timeout(5, 0);
    im.server.set_write_timeout(5, 0);
    auto handler = [&im](const httplib::Request& req, httplib::Response& res) { im.handle(req, res); };
    im.server.Get(".*", handler);
    im.server.Post(".*", handler);
    im.server.Put(".*", handler);
    im.server.Delete(".*", handler);
    im.server.Patch(".*", handler);
    im.server.Options(".*", handler);
    im.port = im.server.bind_to_any_port("127.0.0.1");
    if (im.port <= 0) return false;
    {
        std::lock_guard<std::mutex> lock(im.mutex);
        im.stopping = false;
    }
    im.thread = std::thread([&im] { im.server.listen_after_bind(); });
    // A stop that came before the accept loop runs would be missed by the
    // server, leaving it blocked in accept.
    for (int i = 0; i < 5000 && !im.server.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    im.started = true;
    return true;
}

void MarketSim::stop() {
    Impl& im = *impl_;
    if (!im.started) return;
    {
        std::lock_guard<std::mutex> lock(im.mutex);
        im.stopping = true;
    }
    im.stop_cv.notify_all();
    im.server.stop();
    if (im.thread.joinable()) im.thread.join();
    im.started = false;
}

int MarketSim::port() const { return impl_->port; }

std::string MarketSim::proxy() const { return "127.0.0.1:" + std::to_string(impl_->port); }

std::vector<LoggedRequest> MarketSim::log() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->log;
}

std::size_t MarketSim::request_count() const {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    return impl_->log.size();
}

void MarketSim::clear_log() {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    impl_->log.clear();
}

bool MarketSim::Impl::wait(int ms) {
    std::unique_lock<std::mutex> lock(mutex);
    if (ms < 0) {
        stop_cv.wait(lock, [&] { return stopping; });
    } else {
        stop_cv.wait_for(lock, std::chrono::milliseconds(ms), [&] { return stopping; });
    }
    return !stopping;
}

void MarketSim::Impl::handle(const httplib::Request& req, httplib::Response& res) {
    Target t = parse_target(req);
    {
        LoggedRequest entry;
        entry.method = req.method;
        entry.target = t.absolute;
        for (const auto& [k, v] : req.headers) entry.headers.emplace_back(k, v);
        entry.body = req.body;
        std::lock_guard<std::mutex> lock(mutex);
        log.push_back(std::move(entry));
    }
    serve(t, req, res);
}

const Fault* MarketSim::Impl::pick_fault(const Target& t, const Item* item, PageKind kind) {
    const Fault* chosen = nullptr;
    std::lock_guard<std::mutex> lock(mutex);
    if (item) {
        for (size_t i = 0; i < item->faults.size(); ++i) {
            const Fault& f = item->faults[i];
            if (f.where == FaultWhere::ItemPage && kind != PageKind::ItemPage) continue;
            if (f.where == FaultWhere::ReviewList && kind != PageKind::ReviewList) continue;
            if (!f.match.empty() && t.absolute.find(f.match) == std::string::npos) continue;
            int seen = ++fault_counts[{item->id, i}];
            if (!chosen && seen > f.after) chosen = &f;
        }
    }
    for (size_t i = 0; i < fixture.path_faults.size(); ++i) {
        const Fault& f = fixture.path_faults[i];
        if (f.match.empty() || t.absolute.find(f.match) == std::string::npos) continue;
        int seen = ++fault_counts[{std::string(), i}];
        if (!chosen && seen > f.after) chosen = &f;
    }
    return chosen;
}

// Returns true when the fault answered the request; false lets the page follow.
bool MarketSim::Impl::apply_fault(const Fault& fault, const Target& t, const httplib::Request& req,
                                  httplib::Response& res, PageKind kind) {
    switch (fault.kind) {
    case FaultKind::None:
        return false;
    case FaultKind::Delay:
        if (!wait(fault.delay_ms)) {
            res.status = 503;
            return true;
        }
        return false;
    case FaultKind::Hang:
        wait(-1);
        res.status = 503;
        return true;
    case FaultKind::Reset:
        res.set_content_provider(4096, "text/html", [](size_t, size_t, httplib::DataSink& sink) {
            sink.write("<html><body>", 12);
            return false;  // drops the connection mid-body
        });
        return true;
    case FaultKind::ServerError:
        res.status = 500;
        res.set_content(utf8_to_gbk("<html><body><h1>500 Internal Server Error</h1>服务器繁忙</body></html>"),
                        "text/html; charset=GBK");
        return true;
    case FaultKind::Garbage:
        res.set_content(garbage_bytes(fault.size ? fault.size : 4096), "application/octet-stream");
        return true;
    case FaultKind::Huge: {
        // Chunked, so the client learns the size only by reading it.
        const size_t total = fault.size ? fault.size : size_t(80) << 20;
        res.set_chunked_content_provider("text/html", [this, total](size_t offset, httplib::DataSink& sink) {
            static const std::string chunk(64 * 1024, 'x');
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (stopping) return false;
            }
            if (offset >= total) {
                sink.done();
                return true;
            }
            return sink.write(chunk.data(), std::min(total - offset, chunk.size()));
        });
        return true;
    }
    case FaultKind::RedirectChain: {
        if (req.get_header_value("Cookie").find("sim_pass=1") != std::string::npos) return false;
        const int hops = fault.size ? static_cast<int>(fault.size) : 2;
        const std::string domain = domain_of(t.host);
        res.status = 302;
        res.set_header("Set-Cookie", "sim_hop0=1; Path=/");
        res.set_header("Location", "http://login." + domain + "/__sim/hop?n=1&of=" + std::to_string(hops) +
                                       "&back=" + pages::percent_encode(t.absolute));
        return true;
    }
    case FaultKind::AntiRobot:
        if (kind == PageKind::ReviewList)
            res.set_content(pages::anti_robot_list(), "application/json; charset=GBK");
        else
            res.set_content(utf8_to_gbk(pages::anti_robot_page()), "text/html; charset=GBK");
        return true;
    }
    return false;
}

void MarketSim::Impl::serve(const Target& t, const httplib::Request& req, httplib::Response& res) {
    auto html = [&res](const std::string& utf8, int status = 200) {
        res.status = status;
        res.set_content(utf8_to_gbk(utf8), "text/html; charset=GBK");
    };
    auto q = [&t](std::string_view key) { return pages::query_value(t.query, key); };

    // Which item and kind of page the request is for, so item faults can hit it.
    std::string item_id;
    PageKind kind = PageKind::Other;
    if ((t.host == kTaobaoItemHost || t.host == kTmallItemHost) && t.path == "/item.htm") {
        kind = PageKind::ItemPage;
        item_id = q("id");
    } else if (t.host == kTmallRateHost && t.path == "/list_detail_rate.htm") {
        kind = PageKind::ReviewList;
        item_id = q("itemId");
    } else if (t.host == kTaobaoRateHost && t.path == "/feedRateList.htm") {
        kind = PageKind::ReviewList;
        item_id = q("auctionNumId");
    }
    const Item* item = item_id.empty() ? nullptr : fixture.find_item(item_id);

    if (const Fault* fault = pick_fault(t, item, kind))
        if (apply_fault(*fault, t, req, res, kind)) return;

    if (t.path == "/__sim/hop") {
        // One hop of a redirect chain: each sets a cookie for the whole domain.
        const int n = to_int(q("n"), 1), of = to_int(q("of"), 1);
        const std::string domain = domain_of(t.host);
        res.status = 302;
        if (n < of) {
            res.set_header("Set-Cookie", "sim_hop" + std::to_string(n) + "=1; Domain=." + domain + "; Path=/");
            res.set_header("Location", "http://" + t.host + "/__sim/hop?n=" + std::to_string(n + 1) +
                                           "&of=" + std::to_string(of) + "&back=" + q("back"));
        } else {
            res.set_header("Set-Cookie", "sim_pass=1; Domain=." + domain + "; Path=/");
            res.set_header("Location", pages::percent_decode(q("back")));
        }
        return;
    }
    if (t.path == "/__sim/body") {
        // A plain page of the given size, for measurements.
        const int size = std::max(0, to_int(q("size"), 1024));
        std::string body(static_cast<size_t>(size), 'a');
        for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>('a' + i % 26);
        res.set_content(body, "text/html");
        return;
    }
    if (t.path == "/__sim/nul") {
        res.set_content(std::string("before\0after", 12), "text/plain");
        return;
    }
    if (t.path == "/__sim/cookie") {
        // Sets the cookie given by name, value and attrs; pad adds that many
        // bytes of further header lines ahead of it.
        const int pad = std::max(0, to_int(q("pad"), 0));
        for (int i = 0; pad > 0 && i * 100 < pad; ++i)
            res.set_header("X-Pad-" + std::to_string(i), std::string(90, 'p'));
        std::string cookie = q("name") + "=" + q("value");
        const std::string attrs = pages::percent_decode(q("attrs"));
        if (!attrs.empty()) cookie += "; " + attrs;
        res.set_header("Set-Cookie", cookie);
        res.set_content("cookie set", "text/plain");
        return;
    }
    if (t.path == "/__sim/redirect") {
        // 302 to `to`, setting `cookie` (name=value) on the way.
        res.status = 302;
        if (!q("cookie").empty()) res.set_header("Set-Cookie", pages::percent_decode(q("cookie")) + "; Path=/");
        res.set_header("Location", pages::percent_decode(q("to")));
        return;
    }
    if (t.path == "/__sim/status") {
        res.status = to_int(q("code"), 500);
        res.set_content("status page", "text/plain");
        return;
    }

    if (kind == PageKind::ItemPage) {
        if (t.host == kTaobaoItemHost) {
            if (item && item->market == Market::Taobao) return html(pages::taobao_item_page(*item));
            if (item && item->market == Market::Tmall) return html(pages::tmall_redirect_page());
        } else if (item && item->market == Market::Tmall) {
            return html(pages::tmall_item_page(*item));
        }
        return html(pages::missing_item_page(), 404);
    }
    if (kind == PageKind::ReviewList) {
        const int page_size = item && item->page_size > 0 ? item->page_size : fixture.page_size;
        if (t.host == kTmallRateHost) {
            const std::string body = item ? pages::tmall_review_list(*item, page_size, to_int(q("currentPage"), 1))
                                          : pages::empty_tmall_review_list();
            res.set_content(utf8_to_gbk(body), "application/json; charset=GBK");
            return;
        }
        Item none;
        none.id = item_id;
        const std::string body = pages::taobao_review_list(item ? *item : none, page_size,
                                                           to_int(q("currentPageNum"), 1), q("rateType"), q("callback"));
        res.set_content(utf8_to_gbk(body), "application/javascript; charset=GBK");
        return;
    }
    if (t.host == kTaobaoSearchHost && t.path == "/search") {
        const std::string keyword = gbk_to_utf8(pages::percent_decode(q("q")));
        const std::string sort = q("sort");
        const Search* found = nullptr;
        for (const Search& s : fixture.searches)
            if (s.keyword == keyword && (s.sort.empty() || s.sort == sort)) {
                found = &s;
                break;
            }
        return html(pages::search_page(found, keyword, to_int(q("s"), 0), fixture));
    }
    if (t.path == "/search.htm") {
        for (const Shop& shop : fixture.shops)
            if (lower(shop.host) == t.host) return html(pages::shop_page(shop, q("pageNum"), fixture));
    }
    html("<html><head><title>404 Not Found</title></head><body>页面不存在</body></html>", 404);
}

}  // namespace qm::sim
