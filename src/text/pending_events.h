#pragma once

#include <functional>

namespace qm {

// Long work runs on the window thread and keeps the windows alive by letting
// pending window events run at fixed points. The app installs the hook that
// does it; tests install their own. Until then it does nothing.
//
// The hook returns whether it handled at least one event: a page fetch waits
// a whole time limit counted from the last event (see fetch_page).
using PendingEventsHook = std::function<bool()>;

// Replaces the process-wide hook; an empty function restores the no-op.
void set_pending_events_hook(PendingEventsHook hook);

// Runs the hook once. Returns whether it handled any event.
bool run_pending_events();

}  // namespace qm
