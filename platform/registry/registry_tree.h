#pragma once
// The in-memory form of HKEY_CLASSES_ROOT: keys with named values and
// subkeys, both found without regard to ASCII case and stored under the
// name they were first written with.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/ascii.h"
#include "platform/base/win_types.h"

namespace kp::registry {

// Windows allows keys 512 levels deep; names of keys up to 255 characters.
constexpr std::size_t kMaxKeyDepth = 512;
constexpr std::size_t kMaxKeyNameLength = 255;

struct RegistryValue {
  DWORD type = 1;    // REG_SZ or REG_DWORD
  std::string text;  // REG_SZ
  DWORD number = 0;  // REG_DWORD

  friend bool operator==(const RegistryValue&, const RegistryValue&) = default;
};

struct RegistryKey {
  std::map<std::string, RegistryValue, base::NoCaseLess> values;  // "" is the default value
  std::map<std::string, std::unique_ptr<RegistryKey>, base::NoCaseLess> subkeys;

  RegistryKey* Find(std::string_view name);
  const RegistryKey* Find(std::string_view name) const;
  // The subkey `name`, made when missing.
  RegistryKey& Child(std::string_view name);
};

// A key's path below the root: one name per level.
using KeyPath = std::vector<std::string>;

// Splits "A\B\C" into its names. An empty text is the key itself. A
// trailing backslash is ignored; a leading one, an empty name between two
// backslashes, a name longer than 255 characters or a path deeper than 512
// levels give std::nullopt.
std::optional<KeyPath> SplitKeyPath(std::string_view text);

// The key at `path` below `root`, or null.
RegistryKey* FindKey(RegistryKey& root, const KeyPath& path);
const RegistryKey* FindKey(const RegistryKey& root, const KeyPath& path);

// True when `path` lies at or below `prefix`.
bool PathStartsWith(const KeyPath& path, const KeyPath& prefix);

}  // namespace kp::registry
