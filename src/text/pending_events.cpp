#include "text/pending_events.h"

#include <utility>

namespace qm {

namespace {
PendingEventsHook& hook_slot() {
    static PendingEventsHook hook;
    return hook;
}
}  // namespace

void set_pending_events_hook(PendingEventsHook hook) { hook_slot() = std::move(hook); }

bool run_pending_events() {
    // A copy keeps the hook alive if it replaces itself while it runs.
    PendingEventsHook hook = hook_slot();
    return hook ? hook() : false;
}

}  // namespace qm
