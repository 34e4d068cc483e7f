#include "platform/registry/registry_api.h"

#include <cstring>
#include <map>

#include "platform/registry/registry_store.h"
#include "platform/registry/registry_tree.h"

namespace kp::registry {
namespace {
// An open key: where it is, what it may do, and whether this process has
// deleted it.
struct OpenKey {
  KeyPath path;
  REGSAM access = 0;
  bool deleted = false;
  Hive hive = Hive::ClassesRoot;
};

constexpr std::uintptr_t kFirstHandle = 0x1000;
constexpr std::uintptr_t kHandleStep = 4;

// Handles of this process. One user-interface thread uses them (see
// DESIGN), so the table takes no lock.
struct HandleTable {
  std::map<std::uintptr_t, OpenKey> keys;
  std::uintptr_t next = kFirstHandle;
};

HandleTable& Handles() {
  static HandleTable table;
  return table;
}

const OpenKey kClassesRoot{{}, KEY_ALL_ACCESS, false, Hive::ClassesRoot};
const OpenKey kCurrentUser{{}, KEY_ALL_ACCESS, false, Hive::CurrentUser};

bool IsPredefined(HKEY hKey) { return hKey == HKEY_CLASSES_ROOT || hKey == HKEY_CURRENT_USER; }

// The open key behind `hKey`, or null for a handle that is not open.
const OpenKey* Resolve(HKEY hKey) {
  if (hKey == HKEY_CLASSES_ROOT) return &kClassesRoot;
  if (hKey == HKEY_CURRENT_USER) return &kCurrentUser;
  auto it = Handles().keys.find(reinterpret_cast<std::uintptr_t>(hKey));
  return it == Handles().keys.end() ? nullptr : &it->second;
}

HKEY AddHandle(KeyPath path, REGSAM access, Hive hive) {
  HandleTable& table = Handles();
  std::uintptr_t value = table.next;
  table.next += kHandleStep;
  table.keys.emplace(value, OpenKey{std::move(path), access, false, hive});
  return reinterpret_cast<HKEY>(value);
}

// Marks every handle on `path` of `hive`, or below it, as deleted; with
// `keepKey`, only those below it.
void MarkDeleted(Hive hive, const KeyPath& path, bool keepKey) {
  for (auto& [value, key] : Handles().keys)
    if (key.hive == hive && PathStartsWith(key.path, path) && (!keepKey || key.path.size() > path.size()))
      key.deleted = true;
}

bool HasAccess(const OpenKey& key, REGSAM needed) {
  return (key.access & MAXIMUM_ALLOWED) != 0 || (key.access & needed) == needed;
}

// Joins the handle's path with the subkey text; ERROR_BAD_PATHNAME for a
// malformed subkey.
LONG JoinPath(const OpenKey& base, LPCSTR subKey, KeyPath& out) {
  auto sub = SplitKeyPath(subKey != nullptr ? subKey : "");
  if (!sub) return ERROR_BAD_PATHNAME;
  out = base.path;
  out.insert(out.end(), sub->begin(), sub->end());
  if (out.size() > kMaxKeyDepth) return ERROR_BAD_PATHNAME;
  return ERROR_SUCCESS;
}

// What a lookup that found nothing answers: `missing`, unless the
// machine-wide file could not be read, whose fault it may then be.
LONG NotFound(const RegistryView& view, LONG missing) {
  return view.belowFault != ERROR_SUCCESS ? view.belowFault : missing;
}

// Reads the tree and finds the handle's own key, so that a call on a key
// that is gone answers ERROR_KEY_DELETED.
LONG LoadKey(const OpenKey& open, std::shared_ptr<const RegistryView>& view, const RegistryKey*& key) {
  if (open.deleted) return ERROR_KEY_DELETED;
  LONG result = LoadRegistry(view, open.hive);
  if (result != ERROR_SUCCESS) return result;
  key = FindKey(view->root, open.path);
  return key == nullptr ? NotFound(*view, ERROR_KEY_DELETED) : ERROR_SUCCESS;
}

// The key at `path` of the writable tree `root`, for a change. A key that
// only the machine-wide tree `below` has is made in `root` with a copy of
// its values, so that making it changes nothing a reader sees (the user's
// key hides the machine's values). With `create`, a key that neither has is
// made empty and *created says so; without, the answer is then null.
RegistryKey* KeyToChange(RegistryKey& root, const RegistryKey& below, const KeyPath& path, bool create, bool& changed,
                         bool* created = nullptr) {
  RegistryKey* key = &root;
  const RegistryKey* under = &below;
  if (created != nullptr) *created = false;
  for (const std::string& name : path) {
    const RegistryKey* underNext = under != nullptr ? under->Find(name) : nullptr;
    RegistryKey* next = key->Find(name);
    if (next == nullptr) {
      if (underNext == nullptr && !create) return nullptr;
      next = &key->Child(name);
      if (underNext != nullptr)
        next->values = underNext->values;
      else if (created != nullptr)
        *created = true;
      changed = true;
    }
    key = next;
    under = underNext;
  }
  return key;
}

// Copies `data` into the caller's buffer the way RegQueryValueEx does.
LONG CopyOut(const void* data, DWORD size, LPBYTE buffer, LPDWORD bufferSize) {
  if (bufferSize == nullptr) return buffer == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
  if (buffer == nullptr) {
    *bufferSize = size;
    return ERROR_SUCCESS;
  }
  if (*bufferSize < size) {
    *bufferSize = size;
    return ERROR_MORE_DATA;
  }
  std::memcpy(buffer, data, size);
  *bufferSize = size;
  return ERROR_SUCCESS;
}

std::string_view ValueName(LPCSTR name) { return name != nullptr ? name : ""; }
}  // namespace

int OpenKeyCount() { return static_cast<int>(Handles().keys.size()); }
}  // namespace kp::registry

using namespace kp::registry;

LONG RegCreateKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired, const SECURITY_ATTRIBUTES*,
                    PHKEY phkResult, LPDWORD lpdwDisposition) {
  if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  const OpenKey* base = Resolve(hKey);
  if (base == nullptr) return ERROR_INVALID_HANDLE;
  if (base->deleted) return ERROR_KEY_DELETED;
  KeyPath path;
  LONG result = JoinPath(*base, lpSubKey, path);
  if (result != ERROR_SUCCESS) return result;
  if (path.size() > base->path.size() && !HasAccess(*base, KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
  DWORD disposition = REG_OPENED_EXISTING_KEY;
  std::size_t baseDepth = base->path.size();
  const Hive hive = base->hive;
  result = ModifyRegistry(hive, [&](RegistryKey& root, const RegistryKey& below, bool& changed) {
    KeyPath basePath(path.begin(), path.begin() + static_cast<long>(baseDepth));
    if (KeyToChange(root, below, basePath, false, changed) == nullptr) return ERROR_KEY_DELETED;
    bool created = false;
    KeyToChange(root, below, path, true, changed, &created);
    if (created) disposition = REG_CREATED_NEW_KEY;
    return ERROR_SUCCESS;
  });
  if (result != ERROR_SUCCESS) return result;
  *phkResult = AddHandle(std::move(path), samDesired, base->hive);
  if (lpdwDisposition != nullptr) *lpdwDisposition = disposition;
  return ERROR_SUCCESS;
}

LONG RegOpenKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
  if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  const OpenKey* base = Resolve(hKey);
  if (base == nullptr) return ERROR_INVALID_HANDLE;
  KeyPath path;
  LONG result = JoinPath(*base, lpSubKey, path);
  if (result != ERROR_SUCCESS) return result;
  std::shared_ptr<const RegistryView> view;
  const RegistryKey* key = nullptr;
  result = LoadKey(*base, view, key);
  if (result != ERROR_SUCCESS) return result;
  if (FindKey(view->root, path) == nullptr) return NotFound(*view, ERROR_FILE_NOT_FOUND);
  *phkResult = AddHandle(std::move(path), samDesired, base->hive);
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY hKey) {
  if (IsPredefined(hKey)) return ERROR_SUCCESS;
  return Handles().keys.erase(reinterpret_cast<std::uintptr_t>(hKey)) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegSetValueEx(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
  const OpenKey* open = Resolve(hKey);
  if (open == nullptr) return ERROR_INVALID_HANDLE;
  if (open->deleted) return ERROR_KEY_DELETED;
  if (!HasAccess(*open, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  if (lpData == nullptr && cbData != 0) return ERROR_INVALID_PARAMETER;
  RegistryValue value;
  value.type = dwType;
  if (dwType == REG_SZ) {
    const char* text = reinterpret_cast<const char*>(lpData);
    std::size_t length = text != nullptr ? strnlen(text, cbData) : 0;
    value.text.assign(text != nullptr ? text : "", length);
  } else if (dwType == REG_DWORD) {
    if (cbData != sizeof(DWORD)) return ERROR_INVALID_PARAMETER;
    std::memcpy(&value.number, lpData, sizeof(DWORD));
  } else {
    return ERROR_INVALID_PARAMETER;
  }
  std::string name(ValueName(lpValueName));
  KeyPath path = open->path;
  const Hive hive = open->hive;
  return ModifyRegistry(hive, [&](RegistryKey& root, const RegistryKey& below, bool& changed) {
    RegistryKey* key = KeyToChange(root, below, path, false, changed);
    if (key == nullptr) return ERROR_KEY_DELETED;
    auto it = key->values.find(name);
    if (it == key->values.end()) {
      key->values.emplace(name, value);
      changed = true;
    } else if (!(it->second == value)) {
      it->second = value;
      changed = true;
    }
    return ERROR_SUCCESS;
  });
}

LONG RegQueryValueEx(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  const OpenKey* open = Resolve(hKey);
  if (open == nullptr) return ERROR_INVALID_HANDLE;
  if (!HasAccess(*open, KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  if (lpData != nullptr && lpcbData == nullptr) return ERROR_INVALID_PARAMETER;
  std::shared_ptr<const RegistryView> view;
  const RegistryKey* key = nullptr;
  LONG result = LoadKey(*open, view, key);
  if (result != ERROR_SUCCESS) return result;
  auto it = key->values.find(ValueName(lpValueName));
  if (it == key->values.end()) return ERROR_FILE_NOT_FOUND;
  const RegistryValue& value = it->second;
  if (lpType != nullptr) *lpType = value.type;
  if (value.type == REG_DWORD) return CopyOut(&value.number, sizeof(DWORD), lpData, lpcbData);
  return CopyOut(value.text.c_str(), static_cast<DWORD>(value.text.size() + 1), lpData, lpcbData);
}

LONG RegDeleteValue(HKEY hKey, LPCSTR lpValueName) {
  const OpenKey* open = Resolve(hKey);
  if (open == nullptr) return ERROR_INVALID_HANDLE;
  if (open->deleted) return ERROR_KEY_DELETED;
  if (!HasAccess(*open, KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  std::string name(ValueName(lpValueName));
  KeyPath path = open->path;
  const Hive hive = open->hive;
  return ModifyRegistry(hive, [&](RegistryKey& root, const RegistryKey& below, bool& changed) {
    RegistryKey* key = FindKey(root, path);
    if (key == nullptr) {
      // The machine's values are read-only here.
      const RegistryKey* machine = FindKey(below, path);
      if (machine == nullptr) return ERROR_KEY_DELETED;
      return machine->values.count(name) != 0 ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
    }
    if (key->values.erase(name) == 0) return ERROR_FILE_NOT_FOUND;
    changed = true;
    return ERROR_SUCCESS;
  });
}

LONG RegDeleteTree(HKEY hKey, LPCSTR lpSubKey) {
  const OpenKey* base = Resolve(hKey);
  if (base == nullptr) return ERROR_INVALID_HANDLE;
  if (base->deleted) return ERROR_KEY_DELETED;
  KeyPath path;
  LONG result = JoinPath(*base, lpSubKey, path);
  if (result != ERROR_SUCCESS) return result;
  // Without a subkey, or on the root, the key stays and only its content goes.
  bool keepKey = lpSubKey == nullptr || path.empty();
  std::size_t baseDepth = base->path.size();
  const Hive hive = base->hive;
  bool stillThere = false;
  result = ModifyRegistry(hive, [&](RegistryKey& root, const RegistryKey& below, bool& changed) {
    KeyPath basePath(path.begin(), path.begin() + static_cast<long>(baseDepth));
    if (FindKey(root, basePath) == nullptr && FindKey(below, basePath) == nullptr) return ERROR_KEY_DELETED;
    RegistryKey* key = FindKey(root, path);
    const RegistryKey* machine = FindKey(below, path);
    if (key == nullptr) return machine != nullptr ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
    // What the machine-wide file has under the key stays: it is read-only
    // here.
    stillThere = machine != nullptr;
    if (keepKey) {
      changed = !key->values.empty() || !key->subkeys.empty();
      key->values.clear();
      key->subkeys.clear();
    } else {
      FindKey(root, KeyPath(path.begin(), path.end() - 1))->subkeys.erase(path.back());
      changed = true;
    }
    return ERROR_SUCCESS;
  });
  if (result != ERROR_SUCCESS) return result;
  if (stillThere) return ERROR_SUCCESS;
  MarkDeleted(hive, path, keepKey);
  return ERROR_SUCCESS;
}

LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD, LPSTR lpClass, LPDWORD lpcchClass,
                  PFILETIME lpftLastWriteTime) {
  const OpenKey* open = Resolve(hKey);
  if (open == nullptr) return ERROR_INVALID_HANDLE;
  if (!HasAccess(*open, KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
  if (lpName == nullptr || lpcchName == nullptr) return ERROR_INVALID_PARAMETER;
  std::shared_ptr<const RegistryView> view;
  const RegistryKey* key = nullptr;
  LONG result = LoadKey(*open, view, key);
  if (result != ERROR_SUCCESS) return result;
  if (dwIndex >= key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
  auto it = key->subkeys.begin();
  std::advance(it, dwIndex);
  const std::string& name = it->first;
  if (*lpcchName < name.size() + 1) return ERROR_MORE_DATA;
  std::memcpy(lpName, name.c_str(), name.size() + 1);
  *lpcchName = static_cast<DWORD>(name.size());
  // Keys have no class names or write times here.
  if (lpClass != nullptr && lpcchClass != nullptr && *lpcchClass > 0) lpClass[0] = '\0';
  if (lpcchClass != nullptr) *lpcchClass = 0;
  if (lpftLastWriteTime != nullptr) *lpftLastWriteTime = FILETIME{0, 0};
  return ERROR_SUCCESS;
}
