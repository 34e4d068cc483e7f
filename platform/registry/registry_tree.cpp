#include "platform/registry/registry_tree.h"

namespace kp::registry {

RegistryKey* RegistryKey::Find(std::string_view name) {
  auto it = subkeys.find(name);
  return it == subkeys.end() ? nullptr : it->second.get();
}

const RegistryKey* RegistryKey::Find(std::string_view name) const {
  auto it = subkeys.find(name);
  return it == subkeys.end() ? nullptr : it->second.get();
}

RegistryKey& RegistryKey::Child(std::string_view name) {
  auto it = subkeys.find(name);
  if (it != subkeys.end()) return *it->second;
  return *subkeys.emplace(std::string(name), std::make_unique<RegistryKey>()).first->second;
}

std::optional<KeyPath> SplitKeyPath(std::string_view text) {
  KeyPath path;
  if (text.empty()) return path;
  if (text.front() == '\\') return std::nullopt;
  if (text.back() == '\\') text.remove_suffix(1);
  while (true) {
    std::size_t slash = text.find('\\');
    std::string_view name = text.substr(0, slash);
    if (name.empty() || name.size() > kMaxKeyNameLength) return std::nullopt;
    path.emplace_back(name);
    if (path.size() > kMaxKeyDepth) return std::nullopt;
    if (slash == std::string_view::npos) break;
    text.remove_prefix(slash + 1);
  }
  return path;
}

RegistryKey* FindKey(RegistryKey& root, const KeyPath& path) {
  RegistryKey* key = &root;
  for (const std::string& name : path) {
    key = key->Find(name);
    if (key == nullptr) return nullptr;
  }
  return key;
}

const RegistryKey* FindKey(const RegistryKey& root, const KeyPath& path) {
  return FindKey(const_cast<RegistryKey&>(root), path);
}

bool PathStartsWith(const KeyPath& path, const KeyPath& prefix) {
  if (prefix.size() > path.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (!base::EqualNoCase(path[i], prefix[i])) return false;
  return true;
}

}  // namespace kp::registry
