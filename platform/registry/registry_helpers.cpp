#include "platform/registry/registry_helpers.h"

#include <vector>

namespace kp::registry {

ScopedHKey& ScopedHKey::operator=(ScopedHKey&& other) noexcept {
  if (this != &other) {
    Reset();
    m_key = other.m_key;
    other.m_key = nullptr;
  }
  return *this;
}

void ScopedHKey::Reset() {
  if (m_key != nullptr) RegCloseKey(m_key);
  m_key = nullptr;
}

LONG SetStringValue(HKEY root, std::string_view subKey, std::string_view name, std::string_view value) {
  ScopedHKey key;
  LONG result = RegCreateKeyEx(root, std::string(subKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                               nullptr, key.put(), nullptr);
  if (result != ERROR_SUCCESS) return result;
  std::string text(value);
  return RegSetValueEx(key.get(), std::string(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
}

LONG GetStringValue(HKEY root, std::string_view subKey, std::string_view name, std::string* value) {
  ScopedHKey key;
  LONG result = RegOpenKeyEx(root, std::string(subKey).c_str(), 0, KEY_READ, key.put());
  if (result != ERROR_SUCCESS) return result;
  std::string valueName(name);
  DWORD type = 0;
  DWORD size = 0;
  result = RegQueryValueEx(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
  if (result != ERROR_SUCCESS) return result;
  if (type != REG_SZ) return ERROR_INVALID_DATA;
  // Another process may change the value between the two calls; ask again
  // until the buffer is big enough.
  std::vector<BYTE> buffer;
  do {
    buffer.resize(size);
    result = RegQueryValueEx(key.get(), valueName.c_str(), nullptr, &type, buffer.data(), &size);
  } while (result == ERROR_MORE_DATA);
  if (result != ERROR_SUCCESS) return result;
  if (type != REG_SZ) return ERROR_INVALID_DATA;
  if (value != nullptr) value->assign(reinterpret_cast<const char*>(buffer.data()), size > 0 ? size - 1 : 0);
  return ERROR_SUCCESS;
}

LONG DeleteKeyTree(HKEY root, std::string_view subKey) {
  LONG result = RegDeleteTree(root, std::string(subKey).c_str());
  return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
}

LONG EnumerateSubkeys(HKEY root, std::string_view subKey, std::vector<std::string>* names) {
  names->clear();
  ScopedHKey key;
  LONG result = RegOpenKeyEx(root, std::string(subKey).c_str(), 0, KEY_READ, key.put());
  if (result != ERROR_SUCCESS) return result;
  char name[256];  // the longest key name and its NUL
  for (DWORD index = 0;; ++index) {
    DWORD size = sizeof name;
    result = RegEnumKeyEx(key.get(), index, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (result != ERROR_SUCCESS) return result;
    names->emplace_back(name, size);
  }
}

}  // namespace kp::registry
