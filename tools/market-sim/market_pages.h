#pragma once

// The page texts the simulated marketplace serves, built from the fixture in
// UTF-8; the server converts them to GBK. Inside the simulator only.

#include <string>
#include <string_view>

#include "market_sim.h"

namespace qm::sim::pages {

// Value of a query key ("" when absent), taken raw, without decoding.
std::string query_value(std::string_view query, std::string_view key);
// %XX decoded bytes.
std::string percent_decode(std::string_view text);
std::string percent_encode(std::string_view text);

std::string taobao_item_page(const Item& item);
std::string tmall_item_page(const Item& item);
// What the Taobao address of a Tmall item answers: a script forwarding the
// browser to the Tmall item page.
std::string tmall_redirect_page();
std::string missing_item_page();

// `page` counts from 1; past the last page the last one is repeated.
std::string tmall_review_list(const Item& item, int page_size, int page);
// rate_type is the raw "rateType" value; past the last page the end-of-list mark.
std::string taobao_review_list(const Item& item, int page_size, int page, std::string_view rate_type,
                               std::string_view callback);
std::string empty_tmall_review_list();

// `offset` is the "s" query value (0, 40, 80, ...). search may be null.
std::string search_page(const Search* search, std::string_view keyword, int offset,
                        const Fixture& fixture);
// `page_num` is the raw "pageNum" value; "*" or a non-number shows page 1.
std::string shop_page(const Shop& shop, std::string_view page_num, const Fixture& fixture);

std::string anti_robot_list();
std::string anti_robot_page();

}  // namespace qm::sim::pages
