#include <cstring>
#include <map>
#include <set>
#include <tuple>

#include "platform/resources/resources.h"

namespace kp::resources {
namespace {
// What an HRSRC (and the HGLOBAL LoadResource makes of it) points at.
struct FoundResource {
  HINSTANCE module;
  const void* data;
  DWORD size;
};

// Found resources live as long as the process, like the tables they point
// into, so a handle stays valid however often it is looked up again.
using FoundKey = std::tuple<HINSTANCE, int, std::string, UINT>;
std::map<FoundKey, FoundResource>& Found() {
  static std::map<FoundKey, FoundResource> found;
  return found;
}
std::set<const void*>& Handed() {
  static std::set<const void*> handed;
  return handed;
}

// An integer name or type, from MAKEINTRESOURCE or "#<digits>"; -1 when the
// text is a real name.
long IntegerName(LPCTSTR name) {
  if (IS_INTRESOURCE(name)) return RESOURCE_ID(name);
  if (name[0] != '#' || name[1] == '\0') return -1;
  long value = 0;
  for (const char* p = name + 1; *p; ++p) {
    if (*p < '0' || *p > '9' || value > 0xFFFF) return -1;
    value = value * 10 + (*p - '0');
  }
  return value <= 0xFFFF ? value : -1;
}

bool SameTypeName(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char x = (*a >= 'a' && *a <= 'z') ? static_cast<char>(*a - 'a' + 'A') : *a;
    char y = (*b >= 'a' && *b <= 'z') ? static_cast<char>(*b - 'a' + 'A') : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

template <typename Entry>
const Entry* ById(const std::vector<Entry>& entries, UINT id) {
  for (const Entry& e : entries)
    if (e.id == id) return &e;
  return nullptr;
}

std::optional<std::span<const BYTE>> BytesOf(const BytesEntry* entry) {
  if (entry == nullptr) return std::nullopt;
  return entry->bytes;
}

// The data of resource (type, id) in `table`: a pointer and a size.
bool Locate(const ResourceTable& table, long type, const char* typeName, UINT id, const void*& data, DWORD& size) {
  auto fromBytes = [&](std::optional<std::span<const BYTE>> bytes) {
    if (!bytes) return false;
    data = bytes->data();
    size = static_cast<DWORD>(bytes->size());
    return true;
  };
  auto fromObject = [&](const auto* object) {
    if (object == nullptr) return false;
    data = object;
    size = sizeof *object;
    return true;
  };
  if (type < 0) {
    for (const CustomEntry& e : table.custom)
      if (e.id == id && SameTypeName(e.type, typeName)) return fromBytes(e.bytes);
    return false;
  }
  if (type == RESOURCE_ID(RT_BITMAP)) return fromBytes(BytesOf(ById(table.bitmaps, id)));
  if (type == RESOURCE_ID(RT_DLGINIT)) return fromBytes(BytesOf(ById(table.dialogInit, id)));
  if (type == RESOURCE_ID(RT_DIALOG)) {
    const DialogEntry* e = ById(table.dialogs, id);
    return fromObject(e ? e->dialog : nullptr);
  }
  if (type == RESOURCE_ID(RT_MENU)) {
    const MenuEntry* e = ById(table.menus, id);
    return fromObject(e ? e->menu : nullptr);
  }
  if (type == RESOURCE_ID(RT_ICON)) {
    const IconEntry* e = ById(table.icons, id);
    if (e == nullptr || e->images.empty()) return false;
    return fromBytes(e->images.front());
  }
  if (type == RESOURCE_ID(RT_GROUP_ICON)) return fromObject(ById(table.icons, id));
  if (type == RESOURCE_ID(RT_VERSION)) return id == 1 && fromObject(table.version);
  return false;
}
}  // namespace

std::optional<std::string> FindStringResource(HINSTANCE module, UINT id) {
  const ResourceTable* table = FindModuleResources(module);
  if (table == nullptr) return std::nullopt;
  const StringEntry* e = ById(table->strings, id);
  if (e == nullptr || e->text == nullptr) return std::nullopt;
  return std::string(e->text);
}

CString LoadStringResource(HINSTANCE module, UINT id) {
  std::optional<std::string> text = FindStringResource(module, id);
  return text ? CString(std::move(*text)) : CString();
}

const DialogTemplate* FindDialogTemplate(HINSTANCE module, UINT id) {
  const ResourceTable* table = FindModuleResources(module);
  const DialogEntry* e = table ? ById(table->dialogs, id) : nullptr;
  return e ? e->dialog : nullptr;
}

const MenuTemplate* FindMenuTemplate(HINSTANCE module, UINT id) {
  const ResourceTable* table = FindModuleResources(module);
  const MenuEntry* e = table ? ById(table->menus, id) : nullptr;
  return e ? e->menu : nullptr;
}

const IconEntry* FindIcon(HINSTANCE module, UINT id) {
  const ResourceTable* table = FindModuleResources(module);
  return table ? ById(table->icons, id) : nullptr;
}

const VersionInfo* FindVersionInfo(HINSTANCE module) {
  const ResourceTable* table = FindModuleResources(module);
  return table ? table->version : nullptr;
}

std::optional<std::string> FindVersionString(HINSTANCE module, std::string_view name) {
  const VersionInfo* version = FindVersionInfo(module);
  if (version == nullptr) return std::nullopt;
  for (const VersionString& s : version->strings)
    if (s.name != nullptr && name == s.name) return std::string(s.value ? s.value : "");
  return std::nullopt;
}

std::optional<std::span<const BYTE>> FindResourceBytes(HINSTANCE module, LPCTSTR name, LPCTSTR type) {
  HRSRC found = FindResource(module, name, type);
  if (found == nullptr) return std::nullopt;
  const void* data = LockResource(LoadResource(module, found));
  return std::span<const BYTE>(static_cast<const BYTE*>(data), SizeofResource(module, found));
}

}  // namespace kp::resources

using namespace kp::resources;

HRSRC FindResource(HMODULE hModule, LPCTSTR lpName, LPCTSTR lpType) {
  if (lpName == nullptr || lpType == nullptr) return nullptr;
  const ResourceTable* table = FindModuleResources(hModule);
  if (table == nullptr) return nullptr;
  long id = IntegerName(lpName);
  long type = IntegerName(lpType);
  if (id < 0) return nullptr;  // tables hold numbered resources only
  const void* data = nullptr;
  DWORD size = 0;
  const char* typeName = type < 0 ? lpType : "";
  if (!Locate(*table, type, typeName, static_cast<UINT>(id), data, size)) return nullptr;
  std::string typeKey = type < 0 ? std::string(typeName) : std::string();
  for (char& c : typeKey)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  FoundResource& entry = Found()[FoundKey{hModule, static_cast<int>(type), typeKey, static_cast<UINT>(id)}];
  entry = FoundResource{hModule, data, size};
  Handed().insert(&entry);
  return reinterpret_cast<HRSRC>(&entry);
}

HGLOBAL LoadResource(HMODULE, HRSRC hResInfo) {
  if (hResInfo == nullptr || Handed().count(hResInfo) == 0) return nullptr;
  return static_cast<HGLOBAL>(hResInfo);
}

LPVOID LockResource(HGLOBAL hResData) {
  if (hResData == nullptr || Handed().count(hResData) == 0) return nullptr;
  return const_cast<void*>(static_cast<const FoundResource*>(hResData)->data);
}

DWORD SizeofResource(HMODULE, HRSRC hResInfo) {
  if (hResInfo == nullptr || Handed().count(hResInfo) == 0) return 0;
  return reinterpret_cast<const FoundResource*>(hResInfo)->size;
}

int LoadString(HINSTANCE hInstance, UINT uID, LPTSTR lpBuffer, int cchBufferMax) {
  if (lpBuffer == nullptr || cchBufferMax < 0) return 0;
  const ResourceTable* table = FindModuleResources(hInstance);
  const StringEntry* entry = table ? ById(table->strings, uID) : nullptr;
  if (entry == nullptr || entry->text == nullptr) {
    if (cchBufferMax > 0) lpBuffer[0] = '\0';
    return 0;
  }
  std::size_t length = std::strlen(entry->text);
  if (cchBufferMax == 0) {
    *reinterpret_cast<LPCTSTR*>(lpBuffer) = entry->text;
    return static_cast<int>(length);
  }
  std::size_t room = static_cast<std::size_t>(cchBufferMax) - 1;
  if (length > room) {
    length = room;
    // Back up to the start of a UTF-8 sequence so no character is cut.
    while (length > 0 && (static_cast<unsigned char>(entry->text[length]) & 0xC0) == 0x80) --length;
  }
  std::memcpy(lpBuffer, entry->text, length);
  lpBuffer[length] = '\0';
  return static_cast<int>(length);
}
