#include "platform/testing/registry_snapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/registry/registry_api.h"
#include "platform/registry/registry_file_format.h"

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
  std::ifstream file(path, std::ios::binary);
  if (!file) return lines;  // no file yet: an empty registry
  std::vector<char> text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  kp::registry::RegistryKey root;
  std::string error;
  std::span<const BYTE> bytes(reinterpret_cast<const BYTE*>(text.data()), text.size());
  EXPECT_TRUE(kp::registry::ParseRegistryFile(bytes, root, &error)) << error;
  Flatten(root, "", lines);
  std::sort(lines.begin(), lines.end());
  return lines;
}
}  // namespace kp::testing
