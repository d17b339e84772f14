#pragma once

#include <string>

namespace qm {

class SettingsFile;

// How the programs reach the marketplace, from the section "网络" of the
// settings file: "代理" ("host:port", empty for a direct connection) and
// "请求间隔" (milliseconds to wait between review pages, default 0).
struct NetworkSettings {
    std::string proxy;
    int request_interval_ms = 0;
};

// Read at start-up by the window program and the headless collector. The
// caller's current section is set back afterwards. An interval that is not a
// number or is negative counts as 0; fractions are cut.
NetworkSettings read_network_settings(SettingsFile& settings);

}  // namespace qm
