#pragma once
// Looking up a module's resources by its instance handle, the Windows way
// (FindResource, LoadResource, LockResource, SizeofResource, LoadString)
// and typed (the C++ templates of resource_table.h).
//
// A null module means the main program, as on Windows. A resource name or
// type is either an integer made with MAKEINTRESOURCE or a string; "#243"
// names the integer 243. Custom types ("TYPELIB") compare without regard to
// ASCII case. Each module sees only its own table: an id looked up in one
// module never finds another module's resource.
//
// What FindResource finds, by type:
// - RT_BITMAP, RT_DLGINIT and custom types: the bytes of the entry.
// - RT_ICON: the first image (a packed DIB) of the icon with that id.
// - RT_DIALOG, RT_MENU, RT_GROUP_ICON and RT_VERSION (id 1): LockResource
//   gives the C++ structure (DialogTemplate, MenuTemplate, IconEntry,
//   VersionInfo) and SizeofResource its size.
// - RT_STRING: nothing; use LoadString.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/base/cstring.h"
#include "platform/base/win_user.h"
#include "platform/resources/resource_table.h"

HRSRC FindResource(HMODULE hModule, LPCTSTR lpName, LPCTSTR lpType);
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID LockResource(HGLOBAL hResData);
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
// Copies string `uID` into the buffer, cut to cchBufferMax - 1 characters
// (never inside a UTF-8 sequence) and NUL-terminated; returns the number of
// characters copied, 0 when there is no such string. With cchBufferMax 0,
// stores a pointer to the module's own read-only text in *(LPCTSTR*)lpBuffer
// and returns its length.
int LoadString(HINSTANCE hInstance, UINT uID, LPTSTR lpBuffer, int cchBufferMax);

namespace kp::resources {

// The table a module registered, or null.
const ResourceTable* FindModuleResources(HINSTANCE module);

std::optional<std::string> FindStringResource(HINSTANCE module, UINT id);
// The string, or an empty string when the module has none with that id.
CString LoadStringResource(HINSTANCE module, UINT id);

const DialogTemplate* FindDialogTemplate(HINSTANCE module, UINT id);
const MenuTemplate* FindMenuTemplate(HINSTANCE module, UINT id);
const IconEntry* FindIcon(HINSTANCE module, UINT id);
const VersionInfo* FindVersionInfo(HINSTANCE module);
// A string of the version resource ("FileVersion", "OLESelfRegister"...).
std::optional<std::string> FindVersionString(HINSTANCE module, std::string_view name);

// The bytes of a byte resource (as FindResource, LoadResource and
// LockResource give them), or std::nullopt.
std::optional<std::span<const BYTE>> FindResourceBytes(HINSTANCE module, LPCTSTR name, LPCTSTR type);

}  // namespace kp::resources
