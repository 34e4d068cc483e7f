#pragma once
// The whole of HKEY_CLASSES_ROOT as sorted lines, for tests that check that
// a registration wrote exactly its table and nothing else:
//   key                      for a key without values
//   key | name = value       for each value ("@" names the default)

#include <string>
#include <vector>

namespace kp::testing {
std::vector<std::string> RegistrySnapshot();
}  // namespace kp::testing
