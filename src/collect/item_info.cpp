#include "collect/item_info.h"

#include "text/gbk.h"
#include "text/regex_object.h"
#include "text/text_between.h"
#include "text/text_primitives.h"
#include "web/web_access.h"

namespace qm {

namespace {
std::string tmall_item_page() {
    std::string address = "http://";
    address += kTmallItemHost;
    address += "/item.htm";
    return address;
}
}  // namespace

std::string taobao_item_address(std::string_view item_id) {
    std::string address = "http://";
    address += kTaobaoItemHost;
    address += "/item.htm?id=";
    address += item_id;
    return address;
}

std::string tmall_item_address(std::string_view item_id) {
    std::string address = tmall_item_page();
    address += "?id=";
    address += item_id;
    return address;
}

std::string tmall_redirect_script() {
    const std::string page = tmall_item_page();
    return "<script>(function(){if('" + page + "'){window.location.href='" + page +
           "'+window.location.search;}})()</script>";
}

std::string tmall_title_ending() {
    std::string ending = "-";
    ending += kTmallDomain;
    ending += "天猫</title>"_gbk;
    return ending;
}

ItemInfo resolve_item(std::string_view line, WebAccess& web, RegexObject& regex_a) {
    ItemInfo item;
    regex_a.set_pattern("[&\\?]id=(\\d{5,})", true, true, true);
    if (regex_a.execute(line) > 0) item.item_id = regex_a.match_text(1, 1);
    if (item.item_id.empty()) item.item_id = std::string(line);

    std::string page = web.fetch_page(taobao_item_address(item.item_id));
    if (!page.empty() && find_text(page, tmall_redirect_script(), 1, true) > 0)
        page = web.fetch_page(tmall_item_address(item.item_id));

    item.seller_id = text_between(page, "userid: '", "'");
    if (item.seller_id.empty()) item.seller_id = text_between(page, "userid=", ";");

    item.title = text_between(page, "<title>", tmall_title_ending());
    if (!item.title.empty()) {
        item.marketplace = Marketplace::Tmall;
    } else {
        item.title = text_between(page, "<title>", "-淘宝网</title>"_gbk);
        item.marketplace = Marketplace::Taobao;
    }
    item.page_title = item.title;
    return item;
}

}  // namespace qm
