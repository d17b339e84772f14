#pragma once

namespace qm {

// Runs Qt's pending events once without waiting. Returns whether a window
// event (input, activation, closing, exposure, ...) or a posted event was
// handled; timer ticks alone do not count, or a blinking text cursor would
// keep a stuck page fetch waiting forever.
bool run_qt_pending_events();

// Installs run_qt_pending_events as the process-wide pending-events hook.
void install_qt_pending_events_hook();

}  // namespace qm
