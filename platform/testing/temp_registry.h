#pragma once
// A registry of its own for one test: points XDG_DATA_HOME at a new empty
// folder inside the test program's temporary folder, so the test starts
// with an empty HKEY_CLASSES_ROOT and leaves nothing for the next one.
// Child processes started afterwards inherit it.

#include <string>

namespace kp::testing {
// Returns the new data folder; the registry file is
// <folder>/kestrow-platform/classes.reg.
std::string UseFreshRegistry();
}  // namespace kp::testing
