// One item with 100 review pages of 20 reviews, served by the simulated
// marketplace on loopback, collected and rendered with a five-placeholder
// template and content shuffle on; beside it, in the same run, 100 plain
// libcurl transfers of the same pages through the same proxy.
//
// Counters: wall_ms (collection); plain_ms (plain transfers, each on a
// connection of its own, as every fetch_page must); ratio (wall over plain,
// target <= 1.2); plain_reused_ms and ratio_reused (the plain transfers on
// one kept-alive connection, which fetch_page never does); fetch_only_ms
// (the same pages through fetch_page alone); cpu_per_page_ms (the
// collector's own thread, the network wait of the fetch workers excluded;
// target < 1); peak_rss_mb; heap_growth_per_run_kb (heap in use after the
// last run minus after the warm-up runs, per run; target 0). malloc counts
// the chunks held in its per-thread caches as in use, which moves that figure
// by a few KB; GLIBC_TUNABLES=glibc.malloc.tcache_count=0 leaves them out.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "collect/collect_item.h"
#include "collect/collect_settings.h"
#include "collect/item_info.h"
#include "collect/review_pages.h"
#include "collect/run_context.h"
#include "market_sim.h"
#include "text/gbk.h"
#include "text/regex_object.h"
#include "text/unique_random_picker.h"
#include "web/web_access.h"

namespace {

constexpr int kPages = 100;
constexpr int kPageSize = 20;
constexpr int kRuns = 24;
constexpr int kWarmUpRuns = 8;
const char* const kItemId = "60000001";

qm::sim::Fixture fixture() {
    qm::sim::Fixture f;
    f.page_size = kPageSize;
    qm::sim::Item item;
    item.id = kItemId;
    item.market = qm::sim::Market::Taobao;
    item.title = "基准测试 商品 标题";
    item.seller_id = "7001";
    for (int i = 0; i < kPages * kPageSize; ++i) {
        qm::sim::Review r;
        r.buyer = "买家" + std::to_string(i);
        r.date = "2024-05-06 12:00:00";
        r.content = "第" + std::to_string(i) + "条评论，质量很好，颜色正，尺码标准，物流很快。\n会回购的&quot;好评&quot;";
        r.attributes = {{"颜色分类", i % 2 ? "黑色" : "白色"}, {"尺码", i % 3 ? "XL" : "M"}};
        item.reviews.push_back(std::move(r));
    }
    f.items.push_back(std::move(item));
    return f;
}

double thread_cpu_ms() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

size_t write_discard(char*, size_t size, size_t count, void* sink) {
    *static_cast<size_t*>(sink) += size * count;
    return size * count;
}

// The same 100 review pages fetched with nothing around them. With
// `new_connections` each transfer opens and closes its own connection, as
// every fetch_page does; otherwise one connection serves them all.
double plain_transfers_ms(const std::string& proxy, const qm::ItemInfo& item, bool new_connections) {
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, new_connections ? 1L : 0L);
    size_t bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int page = 1; page <= kPages; ++page) {
        const std::string address = qm::taobao_review_address(item, page, 0);
        curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
        curl_easy_setopt(curl, CURLOPT_PROXY, proxy.c_str());
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, write_discard);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &bytes);
        curl_easy_perform(curl);
    }
    const auto end = std::chrono::steady_clock::now();
    curl_easy_cleanup(curl);
    benchmark::DoNotOptimize(bytes);
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// The same pages through fetch_page alone: what the page fetcher adds.
double fetch_page_ms(qm::WebAccess& web, const qm::ItemInfo& item) {
    size_t bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int page = 1; page <= kPages; ++page) bytes += web.fetch_page(qm::taobao_review_address(item, page, 0)).size();
    benchmark::DoNotOptimize(bytes);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void BM_CollectItem(benchmark::State& state) {
    qm::sim::MarketSim sim(fixture());
    if (!sim.start()) {
        state.SkipWithError("simulator did not start");
        return;
    }
    qm::WebAccess web;
    web.set_default_proxy(sim.proxy());
    qm::RegexInstances regex;
    qm::seed_random(1);

    qm::CollectSettings settings;
    settings.page_limit = kPages;
    settings.min_chars = 5;
    settings.content_shuffle = true;
    settings.template_text = qm::utf8_to_gbk("【#买家#】#日期# #颜色# #尺码#：#评论#\r\n#分隔##买家#说：#评论#\r\n");
    settings.output_pattern = "/nonexistent/*.txt";

    qm::ItemInfo item;
    item.item_id = kItemId;
    item.seller_id = "7001";

    double wall = 0, plain = 0, plain_reused = 0, fetch_only = 0, cpu = 0;
    size_t heap_first = 0, heap_last = 0, bytes = 0;
    int runs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        plain += plain_transfers_ms(sim.proxy(), item, true);
        plain_reused += plain_transfers_ms(sim.proxy(), item, false);
        fetch_only += fetch_page_ms(web, item);
        sim.clear_log();
        state.ResumeTiming();

        qm::RunContext run(web, regex);
        run.seed_random_from_clock = false;
        const double cpu_start = thread_cpu_ms();
        const auto start = std::chrono::steady_clock::now();
        const qm::ItemResult result = qm::collect_item(kItemId, settings, run);
        wall += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        cpu += thread_cpu_ms() - cpu_start;
        bytes = result.text.size();
        benchmark::DoNotOptimize(result);

        state.PauseTiming();
        sim.clear_log();
        const size_t heap = mallinfo2().uordblks;
        // The first runs fill caches and pools (malloc's per-thread caches,
        // reusable fetch handles); growth counts from the end of them.
        if (++runs == kWarmUpRuns) heap_first = heap;
        heap_last = heap;
        state.ResumeTiming();
    }
    sim.stop();
    if (bytes == 0) state.SkipWithError("the item yielded no text");

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["wall_ms"] = wall / runs;
    state.counters["plain_ms"] = plain / runs;
    state.counters["fetch_only_ms"] = fetch_only / runs;
    state.counters["plain_reused_ms"] = plain_reused / runs;
    state.counters["ratio"] = wall / plain;
    state.counters["ratio_reused"] = wall / plain_reused;
    state.counters["cpu_per_page_ms"] = cpu / runs / kPages;
    state.counters["peak_rss_mb"] = usage.ru_maxrss / 1024.0;
    // Heap in use (all arenas, the simulator's threads included) after each run.
    state.counters["heap_growth_per_run_kb"] =
        (static_cast<double>(heap_last) - static_cast<double>(heap_first)) / 1024.0 /
        std::max(1, runs - kWarmUpRuns);
    state.counters["text_kb"] = bytes / 1024.0;
}
BENCHMARK(BM_CollectItem)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(kRuns);

}  // namespace

BENCHMARK_MAIN();
