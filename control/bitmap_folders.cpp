#include "control/bitmap_folders.h"

#include <filesystem>

#include "platform/registry/registry_helpers.h"

namespace tavlet {

void RememberFolderOf(const char* name, const std::string& path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  if (!folder.empty()) kp::registry::SetStringValue(HKEY_CURRENT_USER, kSettingsKey, name, folder);
}

std::string SaveAsFolder() {
  for (const char* name : {kSavedBitmapsFolder, kOpenedBitmapsFolder}) {
    std::string folder;
    if (kp::registry::GetStringValue(HKEY_CURRENT_USER, kSettingsKey, name, &folder) == ERROR_SUCCESS &&
        !folder.empty())
      return folder;
  }
  return std::string();
}

}  // namespace tavlet
