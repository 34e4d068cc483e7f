#include "platform/testing/temp_registry.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/testing/temp_environment.h"

namespace kp::testing {
namespace {
std::string NewFolder(const char* name) {
  std::string pattern = TemporaryRoot() + "/" + name + "-XXXXXX";
  if (TemporaryRoot().empty() || mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("cannot create a folder for a fresh registry");
  return pattern;
}
}  // namespace

std::string UseFreshRegistry() {
  std::string folder = NewFolder("registry");
  setenv("XDG_DATA_HOME", folder.c_str(), 1);
  setenv("XDG_CONFIG_HOME", NewFolder("config").c_str(), 1);
  UseFreshMachineFolder();
  return folder;
}

std::string FreshConfigFolder() {
  const char* folder = std::getenv("XDG_CONFIG_HOME");
  return folder != nullptr ? folder : "";
}

std::string UseFreshMachineFolder() {
  std::string folder = NewFolder("machine");
  setenv("XDG_DATA_DIRS", folder.c_str(), 1);
  return folder;
}
}  // namespace kp::testing
