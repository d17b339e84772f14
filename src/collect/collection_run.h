#pragma once

#include <string>

#include "collect/run_context.h"

namespace qm {

class WindowAccess;
class MessageBoxes;
class WebAccess;
struct RegexInstances;

// What a collection run reads from and writes to: the main window's controls
// (by objectName), its message boxes, the page fetcher, the three regular
// expressions, and the pause before each review-page request.
struct CollectEnvironment {
    WindowAccess& window;
    MessageBoxes& messages;
    WebAccess& web;
    RegexInstances& regex;
    int request_interval_ms = 0;
};

// What the last run did, beyond the files it wrote.
struct RunSummary {
    bool item_list_opened = false;
    int files_written = 0;
    int failed_writes = 0;
    std::string first_failed_path;  // GBK
    int items_stopped_by_verification = 0;
};

// The start button's handler. A window calls click_start() for every click;
// a click that arrives while a run is in progress (nested, through the
// pending-events hook) requests a stop. Never copied.
class CollectionRun {
public:
    explicit CollectionRun(CollectEnvironment env);
    CollectionRun(const CollectionRun&) = delete;
    CollectionRun& operator=(const CollectionRun&) = delete;

    void click_start();

    // Applies from the next run on.
    void set_request_interval_ms(int interval_ms) { env_.request_interval_ms = interval_ms; }
    bool running() const { return running_; }
    const RunSummary& last_summary() const { return summary_; }

private:
    void run();

    CollectEnvironment env_;
    RunContext context_;
    RunSummary summary_;
    bool running_ = false;
};

}  // namespace qm
