#pragma once

#include <string>
#include <string_view>

namespace qm {

class WebAccess;
class RegexObject;

enum class Marketplace { Taobao, Tmall };

// One line of the item list, resolved. Texts are GBK.
struct ItemInfo {
    std::string item_id;
    Marketplace marketplace = Marketplace::Taobao;
    std::string seller_id;
    // The title as used; review assembly may clean or rebuild it.
    std::string title;
    // The title as found on the page; never changed.
    std::string page_title;

    bool resolved() const { return !title.empty() && !seller_id.empty(); }
};

// The addresses of an item's pages and the redirect script of the Taobao item
// page that forwards to Tmall.
std::string taobao_item_address(std::string_view item_id);
std::string tmall_item_address(std::string_view item_id);
std::string tmall_redirect_script();
// "-" + the Tmall domain + "天猫</title>", GBK.
std::string tmall_title_ending();

// Item ID from the line (instance A), the item page (and the Tmall page it
// forwards to), seller ID and title between markers. At most two requests.
ItemInfo resolve_item(std::string_view line, WebAccess& web, RegexObject& regex_a);

}  // namespace qm
