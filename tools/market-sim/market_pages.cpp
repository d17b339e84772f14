#include "market_pages.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "web/web_access.h"

namespace qm::sim::pages {

namespace {

std::string sv(std::string_view s) { return std::string(s); }

// JSON string body: quotes and backslashes escaped; the line breaks are
// written by each list in its own way.
std::string json_text(std::string_view text, std::string_view line_break) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') continue;
        if (c == '\n') out += line_break;
        else if (c == '"') out += "\\\"";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out;
}

int to_number(std::string_view s, int fallback) {
    int n = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (ec != std::errc() || p != s.data() + s.size()) return fallback;
    return n;
}

int page_count(size_t entries, int page_size) {
    if (page_size <= 0) page_size = 20;
    return std::max<int>(1, static_cast<int>((entries + page_size - 1) / page_size));
}

std::string item_link(std::string_view id, const Fixture& fixture) {
    const Item* item = fixture.find_item(id);
    std::string host = sv(item && item->market == Market::Tmall ? kTmallItemHost : kTaobaoItemHost);
    return "http://" + host + "/item.htm?id=" + sv(id);
}

std::string item_title(std::string_view id, const Fixture& fixture) {
    const Item* item = fixture.find_item(id);
    return item && !item->title.empty() ? item->title : "宝贝 " + sv(id);
}

std::string html_text(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

}  // namespace

std::string query_value(std::string_view query, std::string_view key) {
    size_t start = 0;
    while (start <= query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string_view::npos) end = query.size();
        std::string_view pair = query.substr(start, end - start);
        size_t eq = pair.find('=');
        if (pair.substr(0, eq) == key) return eq == std::string_view::npos ? "" : sv(pair.substr(eq + 1));
        start = end + 1;
    }
    return {};
}

std::string percent_decode(std::string_view text) {
    std::string out;
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() + 0 && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
            out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
            i += 2;
        } else if (text[i] == '+') {
            out += ' ';
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string percent_encode(std::string_view text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) && c < 0x80) out += static_cast<char>(c);
        else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

std::string taobao_item_page(const Item& item) {
    std::string page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"gbk\" />\n";
    page += "<title>" + item.title + "-淘宝网</title>\n";
    page += "<meta name=\"microscope-data\" content=\"pageId=1;prototypeId=2;siteCategory=1;shopId=7";
    if (!item.seller_id.empty()) page += ";userid=" + item.seller_id;
    page += ";\">\n</head>\n<body>\n<div class=\"tb-detail-hd\"><h3 class=\"tb-main-title\">" +
            html_text(item.title) + "</h3></div>\n";
    page += item.extra_html;
    page += "\n<script>var g_config = { itemId: '" + item.id + "', pageType: 'item' };</script>\n";
    page += "</body>\n</html>\n";
    return page;
}

std::string tmall_item_page(const Item& item) {
    std::string page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"gbk\" />\n";
    page += "<title>" + item.title + "-" + sv(kTmallDomain) + "天猫</title>\n</head>\n<body>\n";
    page += "<div class=\"tb-detail-hd\"><h1>" + html_text(item.title) + "</h1></div>\n";
    page += item.extra_html;
    page += "\n<script>TShop.Setup({ itemId: '" + item.id + "'";
    if (!item.seller_id.empty()) page += ", userid: '" + item.seller_id + "'";
    page += ", rateUrl: '//" + sv(kTmallRateHost) + "/list_detail_rate.htm' });</script>\n";
    page += "</body>\n</html>\n";
    return page;
}

std::string tmall_redirect_page() {
    const std::string address = "http://" + sv(kTmallItemHost) + "/item.htm";
    return "<html><head><meta charset=\"gbk\" />"
           "<script>(function(){if('" + address + "'){window.location.href='" + address +
           "'+window.location.search;}})()</script></head><body></body></html>";
}

std::string missing_item_page() {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"gbk\" /><title>淘宝网 - 页面不存在</title></head>"
           "<body><div class=\"error-notice\">很抱歉，您查看的宝贝不存在，可能已下架或者被转移。</div></body></html>\n";
}

std::string tmall_review_list(const Item& item, int page_size, int page) {
    const int last = page_count(item.reviews.size(), page_size);
    page = std::clamp(page, 1, last);
    std::string out = "\"rateDetail\":{\"rateCount\":{\"total\":" + std::to_string(item.reviews.size()) +
                      ",\"shop\":0,\"picNum\":0,\"used\":0},\"rateDanceInfo\":{\"currentMilles\":0,"
                      "\"intervalMilles\":0,\"showChooseTopic\":false,\"storeType\":4},"
                      "\"paginator\":{\"items\":" + std::to_string(item.reviews.size()) +
                      ",\"lastPage\":" + std::to_string(last) + ",\"page\":" + std::to_string(page) +
                      "},\"rateList\":[";
    const size_t first = static_cast<size_t>(page - 1) * page_size;
    const size_t end = std::min(item.reviews.size(), first + page_size);
    for (size_t i = first; i < end; ++i) {
        const Review& r = item.reviews[i];
        std::string sku;
        for (const Attribute& a : r.attributes) {
            if (!sku.empty()) sku += ';';
            sku += a.name + ":" + a.value;
        }
        if (i > first) out += ',';
        out += "{\"aliMallSeller\":false,\"anony\":true,\"appendComment\":";
        if (r.append.empty()) out += "null";
        else
            out += "{\"commentTime\":\"\",\"content\":\"" + json_text(r.append, "\\\\r\\\\n") +
                   "\",\"days\":7,\"pics\":[],\"reply\":\"\"}";
        out += ",\"attributes\":\"\",\"auctionSku\":\"" + json_text(sku, " ") +
               "\",\"buyCount\":0,\"cmsSource\":\"天猫\",\"displayRatePic\":\"\",\"displayUserNick\":\"" +
               json_text(r.buyer, " ") + "\",\"fromMall\":true,\"id\":" + std::to_string(900000 + i) +
               ",\"pics\":\"\",\"rateContent\":\"" + json_text(r.content, "\\\\r\\\\n") +
               "\",\"rateDate\":\"" + json_text(r.date, " ") + "\",\"reply\":\"\",\"sellerId\":\"" +
               item.seller_id + "\",\"tradeEndTime\":\"\",\"useful\":true,\"userVipLevel\":0,\"userVipPic\":\"\"}";
    }
    out += "],\"tags\":\"\"}";
    return out;
}

std::string empty_tmall_review_list() {
    return "\"rateDetail\":{\"rateCount\":{\"total\":0,\"shop\":0,\"picNum\":0,\"used\":0},"
           "\"paginator\":{\"items\":0,\"lastPage\":1,\"page\":1},\"rateList\":[],\"tags\":\"\"}";
}

std::string taobao_review_list(const Item& item, int page_size, int page, std::string_view rate_type,
                               std::string_view callback) {
    std::vector<const Review*> chosen;
    for (const Review& r : item.reviews) {
        bool take = true;
        if (rate_type == "1") take = r.rate == RateType::Good;
        else if (rate_type == "0") take = r.rate == RateType::Neutral;
        else if (rate_type == "-1") take = r.rate == RateType::Bad;
        else if (rate_type == "2") take = !r.append.empty();
        if (take) chosen.push_back(&r);
    }
    const std::string name = callback.empty() ? std::string("jsonp_reviews_list") : sv(callback);
    const int last = page_count(chosen.size(), page_size);
    std::string head = name + "({\"qnaDisabled\":true,\"watershed\":100,\"search\":\"false\",\"total\":" +
                       std::to_string(chosen.size()) + ",\"maxPage\":" + std::to_string(last) +
                       ",\"currentPageNum\":" + std::to_string(page);
    if (chosen.empty() || page < 1 || page > last) return head + ",\"comments\":null})";

    std::string out = head + ",\"comments\":[";
    const size_t first = static_cast<size_t>(page - 1) * page_size;
    const size_t end = std::min(chosen.size(), first + page_size);
    for (size_t i = first; i < end; ++i) {
        const Review& r = *chosen[i];
        std::string sku;
        for (const Attribute& a : r.attributes) {
            if (!sku.empty()) sku += "&nbsp&nbsp";
            sku += a.name + ":" + a.value;
        }
        const char* rate = r.rate == RateType::Good ? "1" : r.rate == RateType::Neutral ? "0" : "-1";
        if (i > first) out += ',';
        out += "{\"append\":";
        if (r.append.empty()) out += "null";
        else
            out += "{\"content\":\"" + json_text(r.append, "<br/>\\n") +
                   "\",\"dayAfterConfirm\":7,\"photos\":[],\"reply\":null,\"vicious\":\"\"}";
        out += ",\"aucNumId\":" + item.id + ",\"auction\":{\"aucNumId\":\"" + item.id +
               "\",\"auctionPic\":\"\",\"link\":\"\",\"sku\":\"" + json_text(sku, " ") +
               "\",\"title\":\"\"},\"award\":\"\",\"buyAmount\":1,\"content\":\"" +
               json_text(r.content, "<br/>\\n") + "\",\"creditFraudRule\":0,\"date\":\"" + json_text(r.date, " ") +
               "\",\"dayAfterConfirm\":0,\"from\":\"\",\"lastModifyFrom\":0,\"photos\":[],\"propertiesAvg\":\"0.0\","
               "\"rate\":\"" + rate + "\",\"rateId\":" + std::to_string(800000 + i) +
               ",\"raterType\":0,\"reply\":null,\"tag\":\"\",\"user\":{\"anony\":true,\"nick\":\"" +
               json_text(r.buyer, " ") + "\",\"nickUrl\":\"\",\"rank\":1,\"vipLevel\":0},\"useful\":0,\"validscore\":1}";
    }
    out += "]})";
    return out;
}

std::string search_page(const Search* search, std::string_view keyword, int offset, const Fixture& fixture) {
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"gbk\" /><title>" + html_text(keyword) +
                       " - 淘宝网搜索</title></head><body>\n<div class=\"m-header\">搜索：" + html_text(keyword) +
                       "</div>\n";
    if (!search) return page + "<div class=\"no-result\">没有找到与“" + html_text(keyword) +
                        "”相关的宝贝</div>\n</body></html>\n";
    const std::string q = search->unquoted ? "" : "\"";
    const size_t step = offset < 0 ? 0 : static_cast<size_t>(offset) / 40;
    const size_t first = step * search->per_page;
    const size_t end = std::min(search->item_ids.size(), first + search->per_page);
    if (!search->grid) {
        page += "<div class=\"m-itemlist\">\n<ul class=" + q + "list-view-enlarge-4pic clearfix" + q + ">\n";
        for (size_t i = first; i < end; ++i) {
            const std::string& id = search->item_ids[i];
            page += "<li class=" + q + "list-item" + q + "><h3 class=\"summary\"><a href=\"" + item_link(id, fixture) +
                    "\" target=\"_blank\">" + html_text(item_title(id, fixture)) +
                    "</a></h3><div class=\"price\"><em>99.00</em></div></li>\n";
        }
        page += "</ul>\n<!-- end list view -->\n</div>\n";
    } else {
        page += "<div class=" + q + "row grid-view" + q + ">\n";
        for (size_t i = first; i < end; ++i) {
            const std::string& id = search->item_ids[i];
            page += "<div class=" + q + "col item icon-datalink" + q + " data-category=\"auctions\"><a href=\"" +
                    item_link(id, fixture) + "\" target=\"_blank\">" + html_text(item_title(id, fixture)) +
                    "</a><span class=\"price\">99.00</span></div>\n";
        }
        page += "</div>\n<!--结果内容区-->\n";
    }
    page += "<div class=\"page-bottom\">共 " + std::to_string(page_count(search->item_ids.size(), search->per_page)) +
            " 页</div>\n</body></html>\n";
    return page;
}

std::string shop_page(const Shop& shop, std::string_view page_num, const Fixture& fixture) {
    const int pages = page_count(shop.item_ids.size(), shop.per_page);
    const int page = std::max(1, to_number(page_num, 1));
    std::string out = "<!DOCTYPE html>\n<html><head><meta charset=\"gbk\" /><title>" + shop.host +
                      " - 全部宝贝</title></head><body>\n";
    out += "<div class=\"search-result\">共搜索到 " + std::to_string(shop.item_ids.size()) +
           " 个符合条件的商品</div>\n";
    out += "<div class=\"pagination\"><span class=\"page-info\">" + std::to_string(page) + "/" +
           std::to_string(pages) + "</span></div>\n";
    out += "<ul class=\"shop-list\"></ul>\n";
    // The list is filled in after load, as the real shop pages do.
    out += "<script>(function(){var items=[";
    const size_t first = static_cast<size_t>(page - 1) * shop.per_page;
    const size_t end = std::min(shop.item_ids.size(), first + shop.per_page);
    for (size_t i = first; i < end; ++i) {
        const std::string& id = shop.item_ids[i];
        // Every other link carries the ID as its last parameter.
        std::string link = (i % 2 == 0) ? item_link(id, fixture) + "&ns=1"
                                        : "http://" + sv(kTaobaoItemHost) + "/item.htm?spm=a1z10.3&id=" + id;
        if (i > first) out += ',';
        out += "[\"" + link + "\",\"" + json_text(item_title(id, fixture), " ") + "\"]";
    }
    out += "];var ul=document.querySelector('ul.shop-list');"
           "for(var i=0;i<items.length;i++){var li=document.createElement('li');"
           "var a=document.createElement('a');a.setAttribute('href',items[i][0]);a.textContent=items[i][1];"
           "li.appendChild(a);ul.appendChild(li);}})();</script>\n</body></html>\n";
    return out;
}

std::string anti_robot_list() {
    return "{\"rgv587_flag\":\"sm\",\"url\":\"https://sec.taobao.com/query.htm?action=QueryAction&event_submit_do_login="
           "ok&smApp=ratemanager&smPolicy=ratemanager-list-anti_Spider-checklogin&smCharset=GBK&smTag="
           "MTI3LjAuMC4x&smReturn=http%3A%2F%2Frate.taobao.com%2FfeedRateList.htm&smSign=c2ltdWxhdGVk\"}";
}

std::string anti_robot_page() {
    return "<!DOCTYPE html>\n<html><head><meta charset=\"gbk\" /><title>淘宝网 - 淘！我喜欢</title></head>"
           "<body><div class=\"warnning-text\">亲，小二正忙，滑动一下马上回来</div>"
           "<div id=\"nocaptcha\"></div></body></html>\n";
}

}  // namespace qm::sim::pages
