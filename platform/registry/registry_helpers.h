#pragma once
// Small conveniences over the Reg* calls for the code that registers and
// looks up classes: an owner that closes a key, and one-call reads and
// writes of string values by path.

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry_api.h"

namespace kp::registry {

// Owns one open key and closes it when it goes.
class ScopedHKey {
 public:
  ScopedHKey() = default;
  explicit ScopedHKey(HKEY key) : m_key(key) {}
  ~ScopedHKey() { Reset(); }
  ScopedHKey(const ScopedHKey&) = delete;
  ScopedHKey& operator=(const ScopedHKey&) = delete;
  ScopedHKey(ScopedHKey&& other) noexcept : m_key(other.m_key) { other.m_key = nullptr; }
  ScopedHKey& operator=(ScopedHKey&& other) noexcept;

  HKEY get() const { return m_key; }
  // For the out parameter of RegOpenKeyEx and RegCreateKeyEx.
  HKEY* put() {
    Reset();
    return &m_key;
  }
  void Reset();

 private:
  HKEY m_key = nullptr;
};

// Sets the string value `name` ("" for the default) of the key `subKey`
// below `root`, creating the key when needed.
LONG SetStringValue(HKEY root, std::string_view subKey, std::string_view name, std::string_view value);
// Reads a string value; ERROR_FILE_NOT_FOUND when the key or the value is
// missing, ERROR_INVALID_DATA when the value is not a string.
LONG GetStringValue(HKEY root, std::string_view subKey, std::string_view name, std::string* value);
// Deletes `subKey` with everything below it; a key that is already gone
// counts as deleted.
LONG DeleteKeyTree(HKEY root, std::string_view subKey);
// The names of the subkeys of `subKey`, in order.
LONG EnumerateSubkeys(HKEY root, std::string_view subKey, std::vector<std::string>* names);

}  // namespace kp::registry
