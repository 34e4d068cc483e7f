#pragma once
// Waiting, in tests that draw nothing, on what other processes or the
// descriptor loop bring about: a condition asked again and again under a
// bound generous enough for a busy machine, never a sleep that lets time
// pass. Tests that drive windows wait through ui_driver.h's WaitUntil,
// which runs the window system's loop instead.

#include <sys/types.h>

#include <chrono>
#include <functional>

namespace kp::testing {

// Runs the descriptor loop (where the COM runtime serves its sockets and
// reaps the servers it started) until `done()` holds or `bound` has passed;
// returns done().
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound = std::chrono::seconds(60));

// True once process `pid` is gone: ended and reaped, not merely ended.
bool ProcessGone(pid_t pid);

}  // namespace kp::testing
