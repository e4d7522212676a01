#pragma once
// The one way keeprun ends: a second instance, a network failure, an upgrade, a
// malformed configuration, a close request to the splash, a confirmed close, a
// signal that ends the session.

namespace keeprun {

// Stops every timer of every window and ends the process at once with `status`,
// even when called from inside a wait_pumping_events wait, so that no handler
// runs after it.
[[noreturn]] void end_program(int status = 0);

} // namespace keeprun
