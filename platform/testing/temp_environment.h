#pragma once
// A private temporary folder for one test program: XDG_DATA_HOME (where the
// registry file lives), XDG_CONFIG_HOME (the user's settings),
// XDG_DATA_DIRS (where a machine-wide registry would be), XDG_RUNTIME_DIR
// and XDG_STATE_HOME (the patch history) point into it while the program
// runs, and it is removed at exit.

#include <string>

namespace kp::testing {
// Creates the folder and sets the variables; call first thing in main().
void SetUpTemporaryEnvironment();
// The folder made by SetUpTemporaryEnvironment().
const std::string& TemporaryRoot();
// A new, empty folder `name` in TemporaryRoot(): what an earlier test left
// there is removed first.
std::string NewFolder(const std::string& name);
// A new, empty folder named after the running test, so that tests of one
// program never see each other's files.
std::string TestFolder();
}  // namespace kp::testing
