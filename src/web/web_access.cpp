#include "web/web_access.h"

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "text/pending_events.h"
#include "text/text_primitives.h"
#include "web/cookie_write_back.h"
#include "web/request_headers.h"

namespace qm {

namespace {

constexpr std::string_view kUserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
// A broken or hostile server must not be able to exhaust memory.
constexpr size_t kMaxBody = size_t(64) << 20;
// How often the waiting caller lets window events run.
constexpr auto kWaitSlice = std::chrono::milliseconds(10);

enum class Method { Get, Post, Invalid };

Method method_of(std::string_view method) {
    if (method.empty()) return Method::Get;
    std::string upper(method);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (upper == "GET") return Method::Get;
    if (upper == "POST") return Method::Post;
    return Method::Invalid;
}

// Blank: nothing left once ASCII and full-width (GBK A1 A1) spaces are gone.
bool is_blank(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ') continue;
        if (static_cast<unsigned char>(text[i]) == 0xA1 && i + 1 < text.size() &&
            static_cast<unsigned char>(text[i + 1]) == 0xA1) {
            ++i;
            continue;
        }
        return false;
    }
    return true;
}

// One call's request and result. The caller fills the request before the
// worker starts and reads the result only after joining it.
struct Call {
    // request
    std::string url;
    std::string cookie_host;
    std::string proxy;  // "host:port" or empty
    std::string user, password;
    std::string headers;
    bool post = false;
    std::string post_data;
    CURLSH* share = nullptr;
    CURLM* multi = nullptr;
    CURL* easy = nullptr;  // reset for this call; its connection is never reused
    bool fresh_easy = true;

    // result
    bool completed = false;
    std::string header_block;
    std::string body;

    std::atomic<bool> cancel{false};
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;

    // transfer state
    std::string current_headers;
    bool too_big = false;
};

size_t on_body(char* data, size_t size, size_t count, void* user) {
    Call& call = *static_cast<Call*>(user);
    const size_t n = size * count;
    if (call.body.size() + n > kMaxBody) {
        call.too_big = true;
        return 0;  // aborts the transfer
    }
    call.body.append(data, n);
    return n;
}

size_t on_header(char* data, size_t size, size_t count, void* user) {
    Call& call = *static_cast<Call*>(user);
    const size_t n = size * count;
    std::string_view line(data, n);
    // Each response of a redirect chain starts a new block: keep the last.
    if (line.substr(0, 5) == "HTTP/") call.current_headers.clear();
    if (line != "\r\n" && line != "\n") call.current_headers.append(line);
    return n;
}

int on_progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Call*>(user)->cancel.load() ? 1 : 0;
}

curl_slist* header_list(std::string_view text, curl_slist* list) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) list = curl_slist_append(list, line.c_str());
        start = end + 1;
    }
    return list;
}

CURLcode run_transfer(Call& call, CURL* easy) {
    curl_easy_setopt(easy, CURLOPT_URL, call.url.c_str());
    curl_easy_setopt(easy, CURLOPT_SHARE, call.share);
    // Turns the cookie engine on; a reused handle keeps it on, and setting it
    // again would add to a list the handle holds until it is cleaned up.
    // (curl_easy_reset is not used for reuse: it drops that list unfreed.)
    if (call.fresh_easy) curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    curl_easy_setopt(easy, CURLOPT_USERAGENT, std::string(kUserAgent).c_str());
    curl_easy_setopt(easy, CURLOPT_PROXY, call.proxy.empty() ? "" : ("http://" + call.proxy).c_str());
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
    // Every option a call may set is set by every call: the handle may come
    // from an earlier one.
    curl_easy_setopt(easy, CURLOPT_USERNAME, call.user.empty() ? nullptr : call.user.c_str());
    curl_easy_setopt(easy, CURLOPT_PASSWORD, call.password.empty() ? nullptr : call.password.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 30L);
    curl_easy_setopt(easy, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBody));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, on_body);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &call);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, on_header);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &call);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, on_progress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &call);

    curl_slist* list = header_list(call.headers, nullptr);
    // No proxy or server is to answer from a cache.
    if (find_text(call.headers, "Cache-Control: ", 1, true) < 1)
        list = curl_slist_append(list, "Cache-Control: no-cache");
    if (find_text(call.headers, "Pragma: ", 1, true) < 1) list = curl_slist_append(list, "Pragma: no-cache");
    list = curl_slist_append(list, "Expect:");
    if (call.post) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(call.post_data.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, call.post_data.c_str());
        if (call.post_data.empty()) list = curl_slist_append(list, "Content-Type:");
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, list);

    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    if (curl_multi_add_handle(call.multi, easy) == CURLM_OK) {
        int running = 1;
        while (!call.cancel.load()) {
            if (curl_multi_perform(call.multi, &running) != CURLM_OK) break;
            if (running == 0) {
                int left = 0;
                while (CURLMsg* msg = curl_multi_info_read(call.multi, &left))
                    if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy) result = msg->data.result;
                break;
            }
            // curl_multi_wakeup ends this wait at once when the caller gives up.
            curl_multi_poll(call.multi, nullptr, 0, 1000, nullptr);
        }
        curl_multi_remove_handle(call.multi, easy);
    }
    curl_slist_free_all(list);
    return result;
}

void worker(Call& call) {
    CURL* easy = call.easy;
    CURLcode result = run_transfer(call, easy);
    if (result == CURLE_OK && !call.too_big) {
        call.completed = true;
        call.header_block = std::move(call.current_headers);
        // The response's cookies also go to the host that was asked for,
        // even when a redirect answered for another one.
        if (find_text(call.header_block, "Set-Cookie: ", 1, true) > 0)
            for (const std::string& line :
                 cookie_lines_for_host(call.header_block, call.cookie_host, std::time(nullptr)))
                curl_easy_setopt(easy, CURLOPT_COOKIELIST, line.c_str());
    } else {
        call.body.clear();
    }
}

void signal_done(Call& call) {
    std::lock_guard<std::mutex> lock(call.mutex);
    call.done = true;
    call.cv.notify_all();
}

}  // namespace

namespace {

// Worker threads are kept for later calls once their call has ended: every
// call still has a worker of its own (a new one when all are busy, as with
// nested calls), but starting a thread would cost as much as a tenth of a
// loopback fetch.
class WorkerPool {
public:
    ~WorkerPool() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        cv_.notify_all();
        for (std::thread& t : threads_) t.join();
    }

    // Runs `work` on a free worker, then `done` once that worker is free
    // again, so a caller woken by `done` finds it free for its next call.
    bool run(std::function<void()> work, std::function<void()> done) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (idle_ == 0) {
            try {
                threads_.emplace_back([this] { loop(); });
            } catch (...) {
                return false;
            }
            ++idle_;
        }
        jobs_.push_back({std::move(work), std::move(done)});
        --idle_;
        cv_.notify_one();
        return true;
    }

private:
    struct Job {
        std::function<void()> work, done;
    };

    void loop() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (true) {
            cv_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            Job job = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            job.work();
            lock.lock();
            ++idle_;
            lock.unlock();
            job.done();
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Job> jobs_;
    std::vector<std::thread> threads_;
    int idle_ = 0;
    bool stopping_ = false;
};

}  // namespace

struct WebAccess::Impl {
    CURLSH* share = nullptr;
    std::mutex locks[CURL_LOCK_DATA_LAST];
    std::string default_proxy;
    // Multi and easy handles of ended calls, reused: setting them up again
    // costs more than the options of a call. Connections are closed at the
    // end of each call all the same.
    std::vector<CURLM*> idle_multis;
    std::vector<CURL*> idle_easies;
    WorkerPool workers;  // declared last: its threads end first

    CURLM* take_multi() {
        if (idle_multis.empty()) return curl_multi_init();
        CURLM* multi = idle_multis.back();
        idle_multis.pop_back();
        return multi;
    }

    CURL* take_easy(bool& fresh) {
        fresh = idle_easies.empty();
        if (fresh) return curl_easy_init();
        CURL* easy = idle_easies.back();
        idle_easies.pop_back();
        return easy;
    }

    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* user) {
        static_cast<Impl*>(user)->locks[data].lock();
    }
    static void unlock(CURL*, curl_lock_data data, void* user) { static_cast<Impl*>(user)->locks[data].unlock(); }
};

WebAccess::WebAccess() : impl_(std::make_unique<Impl>()) {
    static std::once_flag global_init;
    std::call_once(global_init, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    impl_->share = curl_share_init();
    if (impl_->share) {
        curl_share_setopt(impl_->share, CURLSHOPT_LOCKFUNC, &Impl::lock);
        curl_share_setopt(impl_->share, CURLSHOPT_UNLOCKFUNC, &Impl::unlock);
        curl_share_setopt(impl_->share, CURLSHOPT_USERDATA, impl_.get());
        curl_share_setopt(impl_->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        curl_share_setopt(impl_->share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
    }
}

WebAccess::~WebAccess() {
    for (CURL* easy : impl_->idle_easies) curl_easy_cleanup(easy);
    for (CURLM* multi : impl_->idle_multis) curl_multi_cleanup(multi);
    if (impl_->share) curl_share_cleanup(impl_->share);
}

void WebAccess::set_default_proxy(std::string proxy) { impl_->default_proxy = std::move(proxy); }

const std::string& WebAccess::default_proxy() const { return impl_->default_proxy; }

std::string WebAccess::host_of_url(std::string_view address, bool keep_port) {
    constexpr std::string_view kScheme = "http://";
    size_t start = address.find(kScheme);
    start = start == std::string_view::npos ? 0 : start + kScheme.size();
    size_t end = address.find('/', start);
    std::string host(address.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (!keep_port) host = host.substr(0, host.find(':'));
    for (size_t i = 0; i < host.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(host[i]);
        if (c >= 0x80) ++i;  // a two-byte character: its trail byte is not a letter
        else if (c >= 'A' && c <= 'Z') host[i] = static_cast<char>(c - 'A' + 'a');
    }
    return host;
}

// A started call: the worker runs it; the multi handle goes back to the
// pool of its WebAccess when the call ends.
struct PendingFetch::State {
    WebAccess::Impl* owner = nullptr;
    std::unique_ptr<Call> call;
    std::chrono::seconds limit{30};

    // Stops the transfer if it still runs and waits for its worker.
    void end(bool cancel);
    ~State() {
        if (call) end(true);
    }
};

PendingFetch::PendingFetch() = default;
PendingFetch::~PendingFetch() = default;
PendingFetch::PendingFetch(PendingFetch&& other) noexcept = default;
PendingFetch& PendingFetch::operator=(PendingFetch&& other) noexcept = default;
bool PendingFetch::active() const { return state_ && state_->call; }

void PendingFetch::State::end(bool cancel) {
    if (cancel) {
        // The transfer stops within moments; its late result is dropped.
        call->cancel.store(true);
        curl_multi_wakeup(call->multi);
    }
    {
        std::unique_lock<std::mutex> lock(call->mutex);
        call->cv.wait(lock, [&] { return call->done; });
    }
    owner->idle_multis.push_back(call->multi);
    // A handle whose transfer broke off is not trusted with another one.
    if (call->completed) owner->idle_easies.push_back(call->easy);
    else curl_easy_cleanup(call->easy);
}

std::string WebAccess::fetch_page(std::string_view address, std::string_view method, std::string_view proxy,
                                  std::string_view user, std::string_view password,
                                  std::string_view extra_headers, std::string_view post_data, int time_limit,
                                  std::string* response_headers) {
    PendingFetch fetch = start_fetch(address, method, proxy, user, password, extra_headers, post_data, time_limit);
    return finish_fetch(fetch, response_headers);
}

PendingFetch WebAccess::start_fetch(std::string_view address, std::string_view method, std::string_view proxy,
                                    std::string_view user, std::string_view password,
                                    std::string_view extra_headers, std::string_view post_data,
                                    int time_limit) {
    PendingFetch fetch;
    const Method kind = method_of(method);
    if (kind == Method::Invalid || !impl_->share) return fetch;

    auto call = std::make_unique<Call>();
    const std::string host = host_of_url(address);
    const std::string host_port = host_of_url(address, true);
    int at = host.empty() ? 1 : find_text(address, host, 1, true);
    size_t slash = address.find('/', at > 0 ? static_cast<size_t>(at - 1) : 0);
    std::string path = slash == std::string_view::npos ? "/" : std::string(address.substr(slash));
    // A space or control byte cannot stand in a request line: it goes
    // percent-encoded, everything else unchanged.
    std::string sendable;
    for (unsigned char c : path) {
        if (c <= 0x20 || c == 0x7F) {
            static const char digits[] = "0123456789ABCDEF";
            sendable += '%';
            sendable += digits[c >> 4];
            sendable += digits[c & 15];
        } else {
            sendable += static_cast<char>(c);
        }
    }
    call->url = "http://" + host_port + sendable;
    call->cookie_host = host;
    if (!is_blank(proxy)) call->proxy = std::string(proxy);
    else if (!is_blank(impl_->default_proxy)) call->proxy = impl_->default_proxy;
    if (!is_blank(user)) call->user = std::string(user);
    if (!is_blank(password)) call->password = std::string(password);
    call->post = kind == Method::Post;
    call->post_data = std::string(post_data);
    call->headers = build_request_headers(address, extra_headers, call->post, post_data);
    call->share = impl_->share;
    call->multi = impl_->take_multi();
    if (!call->multi) return fetch;
    call->easy = impl_->take_easy(call->fresh_easy);
    Call* running = call.get();
    if (!call->easy || !impl_->workers.run([running] { worker(*running); }, [running] { signal_done(*running); })) {
        if (call->easy) curl_easy_cleanup(call->easy);
        impl_->idle_multis.push_back(call->multi);
        return fetch;
    }
    fetch.state_ = std::make_unique<PendingFetch::State>();
    fetch.state_->owner = impl_.get();
    fetch.state_->call = std::move(call);
    fetch.state_->limit = std::chrono::seconds(time_limit > 0 ? time_limit : 30);
    return fetch;
}

std::string WebAccess::finish_fetch(PendingFetch& fetch, std::string* response_headers) {
    if (response_headers) response_headers->clear();
    if (!fetch.active()) return {};
    PendingFetch::State& state = *fetch.state_;
    Call& call = *state.call;
    const auto limit = state.limit;

    // Wait while window events run; each event gives the fetch a whole
    // time limit again.
    bool timed_out = false;
    auto deadline = std::chrono::steady_clock::now() + limit;
    {
        std::unique_lock<std::mutex> lock(call.mutex);
        while (!call.done) {
            auto now = std::chrono::steady_clock::now();
            auto slice = std::min<std::chrono::steady_clock::duration>(kWaitSlice, deadline - now);
            if (slice > std::chrono::steady_clock::duration::zero())
                call.cv.wait_for(lock, slice, [&] { return call.done; });
            if (call.done) break;
            lock.unlock();
            const bool handled = run_pending_events();
            lock.lock();
            if (call.done) break;
            now = std::chrono::steady_clock::now();
            if (handled) deadline = now + limit;
            else if (now >= deadline) {
                timed_out = true;
                break;
            }
        }
    }
    state.end(timed_out);
    const std::unique_ptr<Call> ended = std::move(state.call);
    fetch.state_.reset();

    if (response_headers && ended->completed) *response_headers = ended->header_block;
    if (timed_out || !ended->completed) return {};
    std::string& body = ended->body;
    size_t nul = body.find('\0');
    if (nul != std::string::npos) body.resize(nul);
    return std::move(body);
}

}  // namespace qm
