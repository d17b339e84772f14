#pragma once

// A main window without a screen, wired to the simulated marketplace, for the
// end-to-end tests of the collection.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "collect/collect_settings.h"
#include "collect/collection_run.h"
#include "collect/file_system.h"
#include "market_sim.h"
#include "settings/control_store.h"
#include "settings/recording_message_boxes.h"
#include "text/gbk.h"
#include "text/pending_events.h"
#include "text/regex_object.h"
#include "text/unique_random_picker.h"
#include "web/web_access.h"

namespace qm::test {

inline sim::Review review(std::string content, std::string buyer = "buyer", std::string attributes = {},
                          sim::RateType rate = sim::RateType::Good, std::string append = {}) {
    sim::Review r;
    r.buyer = std::move(buyer);
    r.date = "2024-05-06";
    r.content = std::move(content);
    r.rate = rate;
    r.append = std::move(append);
    // "颜色分类:黑色;尺码:XL"
    size_t start = 0;
    while (start < attributes.size()) {
        size_t end = attributes.find(';', start);
        if (end == std::string::npos) end = attributes.size();
        const std::string pair = attributes.substr(start, end - start);
        const size_t colon = pair.find(':');
        if (colon != std::string::npos) r.attributes.push_back({pair.substr(0, colon), pair.substr(colon + 1)});
        start = end + 1;
    }
    return r;
}

// An item with `count` reviews "<prefix>1" .. "<prefix>count".
inline sim::Item item(std::string id, sim::Market market, std::string title, int count,
                      std::string prefix = "review ") {
    sim::Item it;
    it.id = std::move(id);
    it.market = market;
    it.title = std::move(title);
    it.seller_id = "2001";
    for (int i = 1; i <= count; ++i)
        it.reviews.push_back(review(prefix + std::to_string(i), "buyer" + std::to_string(i)));
    return it;
}

class SimHarness {
public:
    explicit SimHarness(sim::Fixture fixture)
        : sim_(std::move(fixture)), run_(CollectEnvironment{window_, messages_, web_, regex_, 0}) {
        EXPECT_TRUE(sim_.start());
        web_.set_default_proxy(sim_.proxy());
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("qm_collect_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ / "out");
        seed_random(11);

        window_.set_text(controls::start_button(), "开始采集"_gbk);
        window_.set_text(controls::item_list_path(), gbk(dir_ / "items.txt"));
        window_.set_text(controls::start_index(), "1");
        window_.set_text(controls::min_chars(), "0");
        window_.set_text(controls::page_limit(), "0");
        window_.set_checked(controls::preview_only(), false);
        window_.set_text(controls::output_directory(), gbk(dir_ / "out"));
        window_.set_text(controls::output_extension(), "txt");
        window_.set_selected_index(controls::review_type(), 0);
        window_.set_text(controls::template_text(), "#评论#\r\n"_gbk);
        window_.set_checked(controls::replace_enabled(), false);
        window_.set_checked(controls::regex_mode(), false);
        window_.set_checked(controls::content_shuffle(), false);
        window_.set_checked(controls::title_shuffle(), false);
    }
    ~SimHarness() {
        set_pending_events_hook({});
        sim_.stop();
        std::filesystem::remove_all(dir_);
    }

    static std::string gbk(const std::filesystem::path& p) {
        const auto u8 = p.u8string();
        return utf8_to_gbk(std::string(u8.begin(), u8.end()));
    }

    void write_items(const std::string& text) { ASSERT_TRUE(write_bytes(gbk(dir_ / "items.txt"), text)); }

    // Contents of an output file by its UTF-8 title, or nullopt.
    std::optional<std::string> output(const std::string& utf8_name, const std::string& ext = "txt") {
        return read_bytes(gbk(dir_ / "out") + "/" + utf8_to_gbk(utf8_name) + "." + ext);
    }
    size_t output_count() const {
        size_t n = 0;
        for (auto& e : std::filesystem::directory_iterator(dir_ / "out")) n += e.is_regular_file();
        return n;
    }

    // Requests whose target contains `part`.
    std::vector<std::string> requests(std::string_view part) const {
        std::vector<std::string> hits;
        for (const auto& r : sim_.log())
            if (r.target.find(part) != std::string::npos) hits.push_back(r.target);
        return hits;
    }

    // Waits up to five seconds for the simulator to have seen `count` requests.
    bool wait_for_requests(size_t count) const {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (sim_.request_count() < count && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return sim_.request_count() >= count;
    }

    std::vector<std::string> message_texts() const {
        std::vector<std::string> texts;
        for (const auto& m : messages_.messages()) texts.push_back(gbk_to_utf8(m.text));
        return texts;
    }

    sim::MarketSim& sim() { return sim_; }
    ControlStore& window() { return window_; }
    RecordingMessageBoxes& messages() { return messages_; }
    WebAccess& web() { return web_; }
    RegexInstances& regex() { return regex_; }
    CollectionRun& run() { return run_; }
    const std::filesystem::path& dir() const { return dir_; }

    std::string text(const std::string& control) { return window_.text(control); }

private:
    sim::MarketSim sim_;
    WebAccess web_;
    RegexInstances regex_;
    ControlStore window_;
    RecordingMessageBoxes messages_;
    CollectionRun run_;
    std::filesystem::path dir_;
};

}  // namespace qm::test
