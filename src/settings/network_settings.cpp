#include "settings/network_settings.h"

#include <cmath>
#include <string_view>

#include "settings/settings_file.h"
#include "text/gbk.h"

namespace qm {

namespace {

std::string_view trim_blanks(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 32) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.remove_suffix(1);
    return s;
}

// A day: anything longer is a typing slip, not a wish to wait.
constexpr double max_interval_ms = 24.0 * 60 * 60 * 1000;

}  // namespace

NetworkSettings read_network_settings(SettingsFile& settings) {
    const std::string caller_section = settings.section();
    settings.set_section("网络"_gbk);
    NetworkSettings network;
    network.proxy = std::string(trim_blanks(settings.read_text("代理"_gbk)));
    double interval = std::trunc(settings.read_number("请求间隔"_gbk, 0));
    if (interval > 0) network.request_interval_ms = static_cast<int>(std::fmin(interval, max_interval_ms));
    settings.set_section(caller_section);
    return network;
}

}  // namespace qm
