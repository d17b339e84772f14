#pragma once

#include <string>
#include <string_view>

#include "collect/raw_review.h"

namespace qm {

struct ItemInfo;
struct CollectSettings;
struct RunContext;

// Page through the item's review list, handing every record to `accept`.
// They end at an empty page, the list's end, the page limit, ten accepted
// reviews in preview mode, a stop request, the marketplace's verification
// page, or three record-less pages in a row.
void collect_tmall_reviews(const ItemInfo& item, const CollectSettings& settings, RunContext& run,
                           const AcceptReview& accept);
void collect_taobao_reviews(const ItemInfo& item, const CollectSettings& settings, RunContext& run,
                            const AcceptReview& accept);

// Review-list addresses of one page (page numbers from 1).
std::string tmall_review_address(const ItemInfo& item, int page);
std::string taobao_review_address(const ItemInfo& item, int page, int review_type);
// "rateType" value of a 组合框类型 index; an index outside 0..4 counts as "全部".
std::string review_type_code(int review_type);

// The caption shown before each review page (GBK).
std::string progress_text(int files_written, int page);
// Whether a page is the marketplace's anti-robot check or login answer.
bool is_verification_page(std::string_view page);
// Waits `interval_ms` while letting pending window events run.
void pause_with_events(int interval_ms);

}  // namespace qm
