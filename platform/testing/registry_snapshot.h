#pragma once
// The whole of HKEY_CLASSES_ROOT as sorted lines, for tests that check that
// a registration wrote exactly its table and nothing else:
//   key                      for a key without values
//   key | name = value       for each value ("@" names the default)

#include <string>
#include <vector>

namespace kp::testing {
// The file changes go to (the user's, unless a machine-wide scope is open).
std::vector<std::string> RegistrySnapshot();
// Any registry file, as it is stored: a machine-wide file's module paths
// stay relative. A file that does not parse fails the test.
std::vector<std::string> RegistrySnapshot(const std::string& file);
}  // namespace kp::testing
