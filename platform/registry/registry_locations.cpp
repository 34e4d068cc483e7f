#include "platform/registry/registry_locations.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace kp::registry {
namespace {
// The scope an installer has set; one user-interface thread (see DESIGN),
// so no lock.
struct MachineScope {
  std::string file;
  std::string relocatable;
};
std::optional<MachineScope>& ActiveMachineScope() {
  static std::optional<MachineScope> scope;
  return scope;
}

// An XDG base folder: the variable when it holds an absolute path, else
// `fallback` below the home folder.
std::string UserFolder(const char* variable, const char* fallback) {
  const char* xdg = std::getenv(variable);
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + fallback;
}

// Absolute, and without symbolic links as far as the path exists, so that
// the relative paths written between two such folders hold on disk.
std::string CanonicalFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(std::filesystem::absolute(folder), error);
  if (error) return std::filesystem::absolute(folder).lexically_normal().string();
  std::string text = canonical.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}
}  // namespace

std::string RegistryFileIn(const std::string& dataFolder) { return dataFolder + "/kestrow-platform/classes.reg"; }

std::vector<std::string> MachineDataFolders() {
  const char* xdg = std::getenv("XDG_DATA_DIRS");
  std::string list = (xdg != nullptr && xdg[0] != '\0') ? xdg : "/usr/local/share:/usr/share";
  std::vector<std::string> folders;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t colon = list.find(':', start);
    std::string folder = list.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    if (!folder.empty() && folder[0] == '/') folders.push_back(folder);
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  return folders;
}

std::string FindMachineRegistryFile() {
  for (const std::string& folder : MachineDataFolders()) {
    std::string path = RegistryFileIn(folder);
    // A folder that cannot be searched may hold one: it counts, so that
    // reading it fails with a message instead of passing it over.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 || errno == EACCES) return path;
  }
  return std::string();
}

MachineRegistryScope::MachineRegistryScope(const std::string& dataFolder, const std::string& relocatableFolder) {
  ActiveMachineScope() = MachineScope{RegistryFileIn(CanonicalFolder(dataFolder)), CanonicalFolder(relocatableFolder)};
}

MachineRegistryScope::~MachineRegistryScope() { ActiveMachineScope().reset(); }

RegistryLayout CurrentRegistryLayout(Hive hive) {
  RegistryLayout layout;
  if (hive == Hive::CurrentUser) {
    layout.writable = UserFolder("XDG_CONFIG_HOME", "/.config") + "/kestrow-platform/user.reg";
    return layout;
  }
  if (const auto& scope = ActiveMachineScope()) {
    layout.writable = scope->file;
    layout.relocatable = scope->relocatable;
    layout.machineScope = true;
    return layout;
  }
  layout.writable = RegistryFileIn(UserFolder("XDG_DATA_HOME", "/.local/share"));
  layout.below = FindMachineRegistryFile();
  return layout;
}

}  // namespace kp::registry
