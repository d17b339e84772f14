// 500 sequential fetch_page calls of a 30 KiB page from the simulated
// marketplace, next to 500 plain libcurl transfers of the same page with a
// new handle each: the worker thread and hand-off should cost next to nothing.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "market_sim.h"
#include "web/web_access.h"

namespace {

constexpr int kTransfers = 500;
const std::string kAddress = "http://item.taobao.com/__sim/body?size=30720";

qm::sim::MarketSim* g_sim = nullptr;
double g_fetch_seconds = 0, g_curl_seconds = 0;

size_t collect(char* data, size_t size, size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

void BM_FetchPage(benchmark::State& state) {
    qm::WebAccess web;
    web.set_default_proxy(g_sim->proxy());
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kTransfers; ++i) {
            std::string page = web.fetch_page(kAddress);
            if (page.size() != 30720) state.SkipWithError("short page");
            benchmark::DoNotOptimize(page);
        }
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (g_fetch_seconds == 0 || took < g_fetch_seconds) g_fetch_seconds = took;
    }
}

void BM_PlainCurl(benchmark::State& state) {
    const std::string proxy = "http://" + g_sim->proxy();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kTransfers; ++i) {
            std::string page;
            CURL* easy = curl_easy_init();
            curl_easy_setopt(easy, CURLOPT_URL, kAddress.c_str());
            curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
            curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, collect);
            curl_easy_setopt(easy, CURLOPT_WRITEDATA, &page);
            curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
            curl_easy_perform(easy);
            curl_easy_cleanup(easy);
            if (page.size() != 30720) state.SkipWithError("short page");
            benchmark::DoNotOptimize(page);
        }
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (g_curl_seconds == 0 || took < g_curl_seconds) g_curl_seconds = took;
    }
}

// Three rounds each, alternating, and the best round of each counts: the
// machine is shared, and one stray pause would swamp the difference.
BENCHMARK(BM_FetchPage)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCurl)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchPage)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCurl)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchPage)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCurl)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    qm::sim::MarketSim sim;
    if (!sim.start()) return 1;
    g_sim = &sim;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_curl_seconds > 0)
        std::printf("best of 3 rounds: fetch_page x%d: %.3f s, plain libcurl x%d: %.3f s, ratio %.3f (target <= 1.15)\n", kTransfers,
                    g_fetch_seconds, kTransfers, g_curl_seconds, g_fetch_seconds / g_curl_seconds);
    sim.stop();
    return 0;
}
