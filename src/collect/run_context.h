#pragma once

#include <functional>
#include <string_view>

namespace qm {

class WebAccess;
struct RegexInstances;

// The state of one collection run, shared by the per-item routine and the
// review-page loops it calls. Made once by the run's owner and never copied.
struct RunContext {
    RunContext(WebAccess& web_access, RegexInstances& regex_instances)
        : web(web_access), regex(regex_instances) {}
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    WebAccess& web;
    RegexInstances& regex;

    // Set by a second click on the start button; never cleared during a run.
    bool stop_requested = false;
    int files_written = 0;
    // Shows a progress text as the start button's caption; may be empty.
    std::function<void(std::string_view)> set_status;

    // Pause before each review-page request, in milliseconds, so a run can
    // stay under the marketplace's rate limit. Window events keep running.
    int request_interval_ms = 0;
    // Items whose paging ended because the marketplace answered with its
    // verification or login page instead of reviews.
    int items_stopped_by_verification = 0;
    // Rendering seeds the random source from the clock; tests that seed it
    // themselves switch this off.
    bool seed_random_from_clock = true;

    void status(std::string_view text) {
        if (set_status) set_status(text);
    }
};

}  // namespace qm
