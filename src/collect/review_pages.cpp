#include "collect/review_pages.h"

#include <chrono>
#include <thread>

#include "collect/collect_settings.h"
#include "collect/item_info.h"
#include "collect/run_context.h"
#include "text/gbk.h"
#include "text/pending_events.h"
#include "text/text_between.h"
#include "text/text_primitives.h"
#include "web/web_access.h"

namespace qm {

namespace {

// Login and verification pages carry no records; three of them in a row mean
// the list is not coming back, whatever the page limit says.
constexpr int kRecordlessPagesToGiveUp = 3;
constexpr int kPreviewReviews = 10;

// The review page being fetched. Once a page shows that the paging goes on,
// the next one is requested before this one's reviews are read, so reading
// overlaps the network. Only pages the rules would ask for next are
// requested: nothing of that decision is changed by reading the page, since
// a stop request arrives only with window events and they do not run then.
class PageFetcher {
public:
    explicit PageFetcher(RunContext& run) : run_(run) {}

    // The caption, the pause and the window events, then the request.
    void start(const std::string& address, int page) {
        run_.status(progress_text(run_.files_written, page));
        pause_with_events(run_.request_interval_ms);
        run_pending_events();
        pending_ = run_.web.start_fetch(address);
        pending_page_ = page;
    }

    // The page's text; empty when the paging must end: nothing came back, or
    // the marketplace's check did.
    std::string take(const std::string& address, int page) {
        if (!pending_.active() || pending_page_ != page) start(address, page);
        std::string text = run_.web.finish_fetch(pending_);
        if (!text.empty() && is_verification_page(text)) {
            ++run_.items_stopped_by_verification;
            return {};
        }
        return text;
    }

private:
    RunContext& run_;
    PendingFetch pending_;
    int pending_page_ = 0;
};

// The tests after a page, in their fixed order. `stopped` is the stop
// request as it stood when the page came.
bool paging_done(int page, int accepted, const CollectSettings& settings, bool stopped) {
    if (settings.page_limit > 0 && page >= settings.page_limit) return true;
    if (stopped) return true;
    return settings.preview && accepted >= kPreviewReviews;
}

// Whether the page just taken is followed by the next one whatever its
// reviews hold; in preview mode that depends on how many are accepted.
bool next_page_is_certain(int page, const CollectSettings& settings, bool stopped) {
    return !settings.preview && !paging_done(page, 0, settings, stopped);
}

// Next record between the markers; false when there is none. A record that is
// present but empty still counts, so the position decides.
bool next_record(std::string_view page, std::string_view left, std::string_view right,
                 int& position, std::string& record) {
    const int before = position;
    record = text_between(page, left, right, 0, 0, &position);
    return position != before;
}

}  // namespace

std::string progress_text(int files_written, int page) {
    return "停止..已生成 "_gbk + std::to_string(files_written) + " 篇|正采集 "_gbk +
           std::to_string(page) + " 页"_gbk;
}

bool is_verification_page(std::string_view page) {
    return find_text(page, "rgv587_flag") > 0 || find_text(page, "sec.taobao.com", 1, true) > 0 ||
           find_text(page, "login.taobao.com", 1, true) > 0 ||
           find_text(page, "亲，小二正忙"_gbk) > 0;
}

void pause_with_events(int interval_ms) {
    if (interval_ms <= 0) return;
    using clock = std::chrono::steady_clock;
    const auto until = clock::now() + std::chrono::milliseconds(interval_ms);
    for (;;) {
        run_pending_events();
        const auto now = clock::now();
        if (now >= until) return;
        std::this_thread::sleep_for(std::min<clock::duration>(until - now, std::chrono::milliseconds(10)));
    }
}

std::string review_type_code(int review_type) {
    switch (review_type) {
        case 1: return "1";
        case 2: return "0";
        case 3: return "-1";
        case 4: return "2";
        default: return {};
    }
}

std::string tmall_review_address(const ItemInfo& item, int page) {
    std::string address = "http://";
    address += kTmallRateHost;
    address += "/list_detail_rate.htm?itemId=" + item.item_id + "&spuId=&sellerId=" +
               item.seller_id + "&order=0&forShop=1&append=0&currentPage=" +
               std::to_string(page) + "&ismore=1&content=1";
    return address;
}

std::string taobao_review_address(const ItemInfo& item, int page, int review_type) {
    std::string address = "http://";
    address += kTaobaoRateHost;
    address += "/feedRateList.htm?userNumId=" + item.seller_id + "&auctionNumId=" + item.item_id +
               "&siteID=7&currentPageNum=" + std::to_string(page) + "&rateType=" +
               review_type_code(review_type) +
               "&orderType=sort_weight&showContent=1&attribute=&callback=jsonp_reviews_list";
    return address;
}

void collect_tmall_reviews(const ItemInfo& item, const CollectSettings& settings, RunContext& run,
                           const AcceptReview& accept) {
    constexpr std::string_view left = "{\"aliMallSeller\"", right = "\"userVipPic\":\"\"}";
    PageFetcher fetcher(run);
    int page = 0;
    int accepted = 0;
    int recordless_pages = 0;
    std::string remembered_first;
    for (;;) {
        ++page;
        const std::string text = fetcher.take(tmall_review_address(item, page), page);
        if (text.empty()) return;
        const bool stopped = run.stop_requested;

        int position = 0;
        std::string record;
        const bool any_record = next_record(text, left, right, position, record);
        if (any_record) {
            if (!remembered_first.empty() && remembered_first == record) return;
            remembered_first = record;
        }
        recordless_pages = any_record ? 0 : recordless_pages + 1;
        if (recordless_pages >= kRecordlessPagesToGiveUp) return;
        if (next_page_is_certain(page, settings, stopped))
            fetcher.start(tmall_review_address(item, page + 1), page + 1);

        for (bool more = any_record; more; more = next_record(text, left, right, position, record)) {
            RawReview review;
            review.content = replace_text(text_between(record, "\"rateContent\":\"", "\",\"rateDate\""),
                                          "\\\\r\\\\n", "\r\n");
            review.buyer = text_between(record, "\"displayUserNick\":\"", "\"");
            review.date = text_between(record, "\"rateDate\":\"", "\"");
            review.attribute_source = text_between(record, "\"auctionSku\":\"", "\"") + "\"";
            if (!accept(review)) continue;
            if (settings.preview && ++accepted >= kPreviewReviews) break;
            if (stopped) break;
        }
        if (paging_done(page, accepted, settings, stopped)) return;
    }
}

void collect_taobao_reviews(const ItemInfo& item, const CollectSettings& settings, RunContext& run,
                            const AcceptReview& accept) {
    constexpr std::string_view left = "{\"append\":", right = "\"validscore\":";
    PageFetcher fetcher(run);
    int page = 0;
    int accepted = 0;
    int recordless_pages = 0;
    for (;;) {
        ++page;
        const std::string text =
            fetcher.take(taobao_review_address(item, page, settings.review_type), page);
        if (text.empty() || find_text(text, ",\"comments\":null})") > 0) return;
        const bool stopped = run.stop_requested;

        int position = 0;
        std::string record;
        const bool any_record = next_record(text, left, right, position, record);
        recordless_pages = any_record ? 0 : recordless_pages + 1;
        if (recordless_pages >= kRecordlessPagesToGiveUp) return;
        if (next_page_is_certain(page, settings, stopped))
            fetcher.start(taobao_review_address(item, page + 1, settings.review_type), page + 1);

        for (bool more = any_record; more; more = next_record(text, left, right, position, record)) {
            RawReview review;
            review.content = replace_text(text_between(record, "\"content\":\"", "\",\""),
                                          "<br/>\\n", "\r\n");
            review.buyer = text_between(record, "\"nick\":\"", "\"");
            review.date = text_between(record, "\"date\":\"", "\"");
            review.attribute_source = record;
            if (!accept(review)) continue;
            if (settings.preview && ++accepted >= kPreviewReviews) break;
            if (stopped) break;
        }
        if (paging_done(page, accepted, settings, stopped)) return;
    }
}

}  // namespace qm
