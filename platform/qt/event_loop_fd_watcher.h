#pragma once
// Descriptor watches served by the Qt event loop, so that a local server's
// activation request is answered from whatever loop runs, a modal dialog's
// included.

namespace kp::qt {

// Installs, once, a descriptor watcher on the Qt event loop for the process
// (kp::SetFdWatcher). Does nothing before the Qt application exists.
void InstallEventLoopFdWatcher();

}  // namespace kp::qt
