#pragma once
// A registry of its own for one test: points XDG_DATA_HOME and
// XDG_CONFIG_HOME at new empty folders inside the test program's temporary
// folder, and XDG_DATA_DIRS at another, so the test starts with an empty
// HKEY_CLASSES_ROOT and HKEY_CURRENT_USER, sees no machine-wide registration
// of the computer it runs on, and leaves nothing for the next one. Child
// processes started afterwards inherit all three.

#include <string>

namespace kp::testing {
// Returns the new data folder; the registry file is
// <folder>/kestrow-platform/classes.reg.
std::string UseFreshRegistry();
// The folder UseFreshRegistry made for XDG_CONFIG_HOME last, where
// HKEY_CURRENT_USER is <folder>/kestrow-platform/user.reg.
std::string FreshConfigFolder();
// Points XDG_DATA_DIRS alone at a new empty folder and returns it: the data
// folder whose kestrow-platform/classes.reg is the machine-wide registry.
std::string UseFreshMachineFolder();
}  // namespace kp::testing
