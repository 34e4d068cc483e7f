#pragma once
// A registry of its own for one test: points XDG_DATA_HOME at a new empty
// folder inside the test program's temporary folder, and XDG_DATA_DIRS at
// another, so the test starts with an empty HKEY_CLASSES_ROOT, sees no
// machine-wide registration of the computer it runs on, and leaves nothing
// for the next one. Child processes started afterwards inherit both.

#include <string>

namespace kp::testing {
// Returns the new data folder; the registry file is
// <folder>/kestrow-platform/classes.reg.
std::string UseFreshRegistry();
// Points XDG_DATA_DIRS alone at a new empty folder and returns it: the data
// folder whose kestrow-platform/classes.reg is the machine-wide registry.
std::string UseFreshMachineFolder();
}  // namespace kp::testing
