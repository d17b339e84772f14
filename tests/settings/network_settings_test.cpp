#include "settings/network_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "settings/settings_file.h"
#include "text/gbk.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

class NetworkSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "qm-network-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        settings_.open(utf8_to_gbk((dir_ / "主配置文件.ini").string()), "主窗口"_gbk);
    }
    void TearDown() override { fs::remove_all(dir_); }
    void put_file(std::string_view utf8_text) {
        std::ofstream(dir_ / "主配置文件.ini", std::ios::binary) << utf8_to_gbk(utf8_text);
    }

    fs::path dir_;
    SettingsFile settings_;
};

TEST_F(NetworkSettingsTest, DirectAndNoPauseWithoutAFile) {
    NetworkSettings network = read_network_settings(settings_);
    EXPECT_EQ(network.proxy, "");
    EXPECT_EQ(network.request_interval_ms, 0);
    EXPECT_EQ(settings_.section(), "主窗口"_gbk);
    EXPECT_FALSE(fs::exists(dir_ / "主配置文件.ini"));
}

TEST_F(NetworkSettingsTest, ReadsTheSectionAndRestoresTheCallersOne) {
    put_file("[主窗口]\r\n代理=wrong:1\r\n[网络]\r\n代理 = 127.0.0.1:8080 \r\n请求间隔=250\r\n");
    settings_.set_section("店铺采"_gbk);
    NetworkSettings network = read_network_settings(settings_);
    EXPECT_EQ(network.proxy, "127.0.0.1:8080");
    EXPECT_EQ(network.request_interval_ms, 250);
    EXPECT_EQ(settings_.section(), "店铺采"_gbk);
}

TEST_F(NetworkSettingsTest, OddIntervalsBecomeUsable) {
    struct Case {
        const char* stored;
        int interval;
    } cases[] = {{"-5", 0}, {"abc", 0}, {"99.9", 99}, {"", 0}, {"1e30", 86400000}};
    for (const auto& c : cases) {
        put_file(std::string("[网络]\r\n请求间隔=") + c.stored + "\r\n");
        EXPECT_EQ(read_network_settings(settings_).request_interval_ms, c.interval) << c.stored;
    }
}

}  // namespace
}  // namespace qm
