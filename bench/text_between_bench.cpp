// Walks a 4 MiB review page record by record with text_between, and scans the
// same page for the same markers with plain memmem as the yardstick. The walk
// should keep at least half of memmem's throughput.
#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "text/gbk.h"
#include "text/text_between.h"

namespace {

struct Field {
    std::string_view left, right;
};

struct RecordShape {
    std::string_view left, right;
    std::vector<Field> fields;
};

const std::vector<RecordShape>& shapes() {
    static const std::vector<RecordShape> all = {
        {"{\"aliMallSeller\"",
         "\"userVipPic\":\"\"}",
         {{"\"rateContent\":\"", "\",\"rateDate\""},
          {"\"displayUserNick\":\"", "\""},
          {"\"rateDate\":\"", "\""},
          {"\"auctionSku\":\"", "\""}}},
        {"{\"append\":", "\"validscore\":", {{"\"content\":\"", "\",\""}, {"\"nick\":\"", "\""}, {"\"date\":\"", "\""}}},
    };
    return all;
}

std::string gbk(std::string_view utf8) { return qm::utf8_to_gbk(utf8); }

// Chinese review text in GBK: sentences of common words, full-width punctuation,
// now and then an encoded line break, entity or ASCII word.
std::string review_text(std::mt19937& rng) {
    static const std::vector<std::string> words = [] {
        std::vector<std::string> w;
        for (const char* s : {"质量", "很好", "非常", "满意", "物流", "速度", "快", "包装", "精美", "颜色",
                              "和图片", "一样", "穿着", "舒服", "性价比", "高", "客服", "态度", "好评", "下次",
                              "还会", "再来", "宝贝", "收到了", "面料", "柔软", "尺码", "标准", "推荐", "购买"})
            w.push_back(gbk(s));
        w.push_back(gbk("，"));
        w.push_back(gbk("。"));
        w.push_back(gbk("！"));
        w.push_back("OK");
        w.push_back("&hellip;");
        return w;
    }();
    std::uniform_int_distribution<size_t> pick(0, words.size() - 1);
    std::string s;
    const int n = 20 + static_cast<int>(rng() % 60);
    for (int i = 0; i < n; ++i) {
        s += words[pick(rng)];
        if (rng() % 40 == 0) s += "\\\\r\\\\n";
    }
    return s;
}

std::string tmall_record(std::mt19937& rng, int id) {
    const std::string sku = gbk("颜色分类:黑色;尺码:XL");
    return "{\"aliMallSeller\":false,\"anony\":true,\"appendComment\":null,\"attributes\":\"\","
           "\"attributesMap\":\"\",\"aucNumId\":\"\",\"auctionPicUrl\":\"\",\"auctionPrice\":\"\","
           "\"auctionSku\":\"" + sku + "\",\"auctionTitle\":\"\",\"buyCount\":0,\"carServiceLocation\":\"\","
           "\"cmsSource\":\"" + gbk("天猫") + "\",\"displayRatePic\":\"\",\"displayRateSum\":0,"
           "\"displayUserLink\":\"\",\"displayUserNick\":\"t***" + std::to_string(id % 10) + "\","
           "\"displayUserNumId\":\"\",\"displayUserRateLink\":\"\",\"dsr\":0.0,\"fromMall\":true,"
           "\"fromMemory\":0,\"gomallSeller\":\"\",\"id\":" + std::to_string(1000000 + id) + ",\"pics\":\"\","
           "\"picsSmall\":\"\",\"position\":\"\",\"rateContent\":\"" + review_text(rng) + "\","
           "\"rateDate\":\"2026-11-" + std::to_string(10 + id % 20) + " 12:34:56\",\"reply\":\"\","
           "\"sellerId\":2201234567,\"serviceRateContent\":\"\",\"structuredRateList\":[],"
           "\"tamllSweetLevel\":3,\"tmallSweetPic\":\"tmall-grade-t3-18.png\",\"tradeEndTime\":\"\","
           "\"tradeId\":\"\",\"useful\":true,\"userIdEncryption\":\"\",\"userInfo\":\"\",\"userVipLevel\":0,"
           "\"userVipPic\":\"\"}";
}

std::string taobao_record(std::mt19937& rng, int id) {
    return "{\"append\":null,\"content\":\"" + review_text(rng) + "<br/>\\n" + review_text(rng) +
           "\",\"photos\":[],\"useful\":0,\"date\":\"" + gbk("2026年11月02日 12:34") +
           "\",\"dayAfterConfirm\":0,\"user\":{\"nick\":\"" + gbk("买家") + std::to_string(id % 100) +
           "\",\"vipLevel\":0,\"rank\":12,\"avatar\":\"//img.example/a.jpg\",\"anony\":true},"
           "\"auction\":{\"sku\":\"" + gbk("颜色分类：白色") + "\",\"title\":\"\"},\"rateId\":" +
           std::to_string(3000000 + id) + ",\"rate\":\"1\",\"validscore\":1}";
}

const std::string& page() {
    static const std::string p = [] {
        std::mt19937 rng(42);
        std::string s = "jsonp_reviews_list({\"rateDetail\":{\"rateList\":[";
        for (int id = 0; s.size() < (4u << 20); ++id) {
            s += id % 2 ? taobao_record(rng, id) : tmall_record(rng, id);
            s += ',';
        }
        s += "]}})";
        return s;
    }();
    return p;
}

// Every field of every record, in walk order, and a checksum of their bytes.
struct Walked {
    std::vector<std::string> fields;
    size_t bytes = 0;
};

template <bool Keep>
void walk_text_between(const std::string& text, Walked& out) {
    for (const RecordShape& shape : shapes()) {
        int pos = 0;
        for (;;) {
            const std::string record = qm::text_between(text, shape.left, shape.right, 0, 0, &pos);
            if (record.empty()) break;
            for (const Field& f : shape.fields) {
                std::string value = qm::text_between(record, f.left, f.right);
                out.bytes += value.size();
                if constexpr (Keep) out.fields.push_back(std::move(value));
            }
        }
    }
}

std::string_view between_memmem(std::string_view text, std::string_view left, std::string_view right,
                                size_t& from) {
    const void* l = memmem(text.data() + from, text.size() - from, left.data(), left.size());
    if (!l) return {};
    const size_t start = static_cast<const char*>(l) - text.data() + left.size();
    const void* r = memmem(text.data() + start, text.size() - start, right.data(), right.size());
    if (!r) return {};
    const size_t end = static_cast<const char*>(r) - text.data();
    from = end + right.size();
    return text.substr(start, end - start);
}

template <bool Keep>
void walk_memmem(const std::string& text, Walked& out) {
    for (const RecordShape& shape : shapes()) {
        size_t pos = 0;
        for (;;) {
            const std::string_view record = between_memmem(text, shape.left, shape.right, pos);
            if (record.empty()) break;
            for (const Field& f : shape.fields) {
                size_t field_pos = 0;
                std::string_view value = between_memmem(record, f.left, f.right, field_pos);
                out.bytes += value.size();
                if constexpr (Keep) out.fields.emplace_back(value);
            }
        }
    }
}

void BM_TextBetweenWalk(benchmark::State& state) {
    const std::string& text = page();
    for (auto _ : state) {
        Walked w;
        walk_text_between<false>(text, w);
        benchmark::DoNotOptimize(w.bytes);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TextBetweenWalk)->Unit(benchmark::kMillisecond);

void BM_MemmemScan(benchmark::State& state) {
    const std::string& text = page();
    for (auto _ : state) {
        Walked w;
        walk_memmem<false>(text, w);
        benchmark::DoNotOptimize(w.bytes);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_MemmemScan)->Unit(benchmark::kMillisecond);

// Keeps each run's throughput so that the ratio can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end()) rates[run.benchmark_name()] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string& text = page();
    Walked walked, reference;
    walk_text_between<true>(text, walked);
    walk_memmem<true>(text, reference);
    std::cout << "page: " << text.size() << " bytes, " << walked.fields.size() << " fields\n";
    if (walked.fields != reference.fields || walked.fields.empty()) {
        std::cerr << "text_between walk differs from the memmem reference\n";
        return 1;
    }
    std::cout << "text_between walk equals the memmem reference\n";

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    // With --benchmark_repetitions only the aggregates may be reported: use the median.
    auto rate = [&](const std::string& name) {
        auto it = reporter.rates.find(name);
        if (it == reporter.rates.end()) it = reporter.rates.find(name + "_median");
        return it == reporter.rates.end() ? 0.0 : it->second;
    };
    const double walk = rate("BM_TextBetweenWalk");
    const double scan = rate("BM_MemmemScan");
    if (walk > 0 && scan > 0) {
        std::cout << "text_between walk: " << walk / 1e6 << " MB/s, memmem scan: " << scan / 1e6
                  << " MB/s, ratio " << walk / scan << (walk / scan >= 0.5 ? " (target 0.5 met)" : " (below target 0.5)")
                  << "\n";
    }
    return 0;
}
