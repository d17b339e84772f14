#include "collect/collect_item.h"

#include "collect/collect_settings.h"
#include "collect/item_info.h"
#include "collect/review_pages.h"
#include "collect/review_table.h"
#include "collect/run_context.h"
#include "text/regex_object.h"

namespace qm {

ItemResult collect_item(std::string_view line, const CollectSettings& settings, RunContext& run) {
    ItemInfo item = resolve_item(line, run.web, run.regex.a);
    if (!item.resolved()) return {{}, item.title};

    auto table = make_review_table(settings.template_text, std::move(item), run.regex.a);
    if (settings.replace_enabled) run.regex.a.set_pattern(settings.match_list, true, true, true);
    run.regex.b.set_pattern("[\\s\\r\\n]", true, true, true);

    const AcceptReview accept = [&](const RawReview& review) {
        return accept_review(*table, review, settings, run.regex);
    };
    if (table->item.marketplace == Marketplace::Tmall)
        collect_tmall_reviews(table->item, settings, run, accept);
    else
        collect_taobao_reviews(table->item, settings, run, accept);

    ItemResult result;
    result.text = render_item_text(*table, settings.content_shuffle, run.seed_random_from_clock);
    result.title = table->item.title;
    return result;
}

}  // namespace qm
