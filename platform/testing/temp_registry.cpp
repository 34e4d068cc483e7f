#include "platform/testing/temp_registry.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/testing/temp_environment.h"

namespace kp::testing {
std::string UseFreshRegistry() {
  std::string pattern = TemporaryRoot() + "/registry-XXXXXX";
  if (TemporaryRoot().empty() || mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("cannot create a folder for a fresh registry");
  setenv("XDG_DATA_HOME", pattern.c_str(), 1);
  return pattern;
}
}  // namespace kp::testing
