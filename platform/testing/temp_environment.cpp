#include "platform/testing/temp_environment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace kp::testing {
namespace {
std::string g_root;

void RemoveRoot() {
  std::error_code ignored;
  if (!g_root.empty()) std::filesystem::remove_all(g_root, ignored);
}
}  // namespace

void SetUpTemporaryEnvironment() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kestrow-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
  g_root = pattern;
  std::filesystem::create_directories(g_root + "/data");
  std::filesystem::create_directories(g_root + "/config");
  std::filesystem::create_directories(g_root + "/runtime");
  std::filesystem::create_directories(g_root + "/machine");
  std::filesystem::create_directories(g_root + "/state");
  std::filesystem::permissions(g_root + "/runtime", std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace);
  setenv("XDG_DATA_HOME", (g_root + "/data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (g_root + "/config").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (g_root + "/runtime").c_str(), 1);
  // Where patches in place keep their history and, at times, their journal.
  setenv("XDG_STATE_HOME", (g_root + "/state").c_str(), 1);
  // No machine-wide registration of the computer the tests run on shows.
  setenv("XDG_DATA_DIRS", (g_root + "/machine").c_str(), 1);
  std::atexit(RemoveRoot);
}

const std::string& TemporaryRoot() { return g_root; }

std::string NewFolder(const std::string& name) {
  const std::string folder = g_root + "/" + name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

std::string TestFolder() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "." + test->name();
  std::replace(name.begin(), name.end(), '/', '_');  // parameterised tests name themselves with slashes
  return NewFolder(name);
}
}  // namespace kp::testing
