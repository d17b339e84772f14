#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace qm {

// Marketplace hosts. Every address the system builds starts with "http://".
inline constexpr std::string_view kTaobaoItemHost = "item.taobao.com";
inline constexpr std::string_view kTmallItemHost = "detail.tmall.com";
inline constexpr std::string_view kTmallRateHost = "rate.tmall.com";
inline constexpr std::string_view kTaobaoRateHost = "rate.taobao.com";
inline constexpr std::string_view kTaobaoSearchHost = "s.taobao.com";
inline constexpr std::string_view kTaobaoDomain = "taobao.com";
inline constexpr std::string_view kTmallDomain = "tmall.com";

// A request already on its way, started by WebAccess::start_fetch and taken
// by WebAccess::finish_fetch on the thread that started it; it must not
// outlive that WebAccess. Dropping one that was never finished cancels its
// transfer and waits for its worker.
class PendingFetch {
public:
    PendingFetch();
    ~PendingFetch();
    PendingFetch(PendingFetch&& other) noexcept;
    PendingFetch& operator=(PendingFetch&& other) noexcept;

    // Whether a request was started and not yet finished.
    bool active() const;

private:
    friend class WebAccess;
    struct State;
    std::unique_ptr<State> state_;
};

// One HTTP request per fetch_page on a worker thread, while the calling
// thread keeps running pending window events. Holds the process's cookie
// store, shared by all calls. Created once and never copied.
class WebAccess {
public:
    WebAccess();
    ~WebAccess();
    WebAccess(const WebAccess&) = delete;
    WebAccess& operator=(const WebAccess&) = delete;

    // The response body (up to its first NUL byte), empty on any failure.
    // time_limit 0 means 30 seconds, counted from the last window event.
    std::string fetch_page(std::string_view address, std::string_view method = {},
                           std::string_view proxy = {}, std::string_view user = {},
                           std::string_view password = {}, std::string_view extra_headers = {},
                           std::string_view post_data = {}, int time_limit = 0,
                           std::string* response_headers = nullptr);

    // fetch_page in two steps, so the caller can work while the request is
    // on its way. The time limit counts from the start of finish_fetch's wait.
    PendingFetch start_fetch(std::string_view address, std::string_view method = {},
                             std::string_view proxy = {}, std::string_view user = {},
                             std::string_view password = {}, std::string_view extra_headers = {},
                             std::string_view post_data = {}, int time_limit = 0);
    // The body as fetch_page gives it; empty for a fetch that is not active.
    std::string finish_fetch(PendingFetch& fetch, std::string* response_headers = nullptr);

    // "host:port" used when a call passes no proxy; empty means direct.
    void set_default_proxy(std::string proxy);
    const std::string& default_proxy() const;

    // Lower-case host of an address, with or without its port.
    static std::string host_of_url(std::string_view address, bool keep_port = false);

private:
    friend class PendingFetch;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qm
