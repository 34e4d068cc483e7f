#include "platform/testing/registry_snapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/registry/registry_api.h"
#include "platform/registry/registry_file_format.h"
#include "platform/testing/file_contents.h"

namespace kp::testing {
namespace {
void Flatten(const kp::registry::RegistryKey& key, const std::string& path, std::vector<std::string>& lines) {
  if (!path.empty() && key.values.empty()) lines.push_back(path);
  for (const auto& [name, value] : key.values) {
    std::string text = value.type == REG_SZ ? value.text : "dword:" + std::to_string(value.number);
    lines.push_back(path + " | " + (name.empty() ? "@" : name) + " = " + text);
  }
  for (const auto& [name, child] : key.subkeys) Flatten(*child, path.empty() ? name : path + "\\" + name, lines);
}
}  // namespace

std::vector<std::string> RegistrySnapshot() { return RegistrySnapshot(kp::registry::RegistryFilePath()); }

std::vector<std::string> RegistrySnapshot(const std::string& path) {
  std::vector<std::string> lines;
  if (!std::filesystem::exists(path)) return lines;  // no file yet: an empty registry
  kp::registry::RegistryKey root;
  std::string error;
  EXPECT_TRUE(kp::registry::ParseRegistryFile(ReadFileBytes(path), root, &error)) << error;
  Flatten(root, "", lines);
  std::sort(lines.begin(), lines.end());
  return lines;
}
}  // namespace kp::testing
