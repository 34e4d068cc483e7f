#pragma once
// Collecting the exit status of server processes this process started, so
// none lingers as a zombie after its client has let it go.

#include <sys/types.h>

namespace kp::com {
// Reaps `pid` now if it has ended, or else as soon as it ends: through a
// process descriptor watched from the event loop (kp::WatchFd), or, where
// the kernel has none, at the next activation.
void ReapChildWhenDone(pid_t pid);
// Reaps every child handed over that has ended by now.
void ReapFinishedChildren();
}  // namespace kp::com
