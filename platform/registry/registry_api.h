#pragma once
// HKEY_CLASSES_ROOT, HKEY_CURRENT_USER and the Reg* calls, shaped as on
// Windows: the same names, arguments, access rights and ERROR_ results.
//
// The tree lives in text files (see registry_file_format.h): the user's
// own, ${XDG_DATA_HOME:-$HOME/.local/share}/kestrow-platform/classes.reg,
// over a read-only machine-wide one found through XDG_DATA_DIRS
// (registry_locations.h). A key the user has wins; reading falls through to
// the machine's keys. Every call reads the files afresh, so a change made by
// another process is seen at once; every change goes to the user's file,
// written whole, atomically, under a lock shared by all processes
// (registry_store.h). A damaged user's file makes every call fail with
// ERROR_REGISTRY_CORRUPT and is never overwritten. A damaged or unreadable
// machine-wide file reads as empty, except that a lookup finding nothing
// answers with its fault (ERROR_REGISTRY_CORRUPT, ERROR_CANTREAD).
//
// HKEY_CURRENT_USER, where programs keep their per-user settings under
// "Software\\<company>\\<program>", is another tree, in a file of its own,
// ${XDG_CONFIG_HOME:-$HOME/.config}/kestrow-platform/user.reg, read and
// written the same way, with nothing machine-wide under it.
//
// Differences from Windows worth knowing:
// - Key and value names compare without regard to ASCII case and keep the
//   case they were first written with. Names are UTF-8 bytes.
// - Values are REG_SZ or REG_DWORD. A REG_SZ keeps its text up to the first
//   NUL; queries always return it NUL-terminated.
// - The machine's keys and values are read-only: deleting one that only the
//   machine-wide file has gives ERROR_ACCESS_DENIED. Deleting the user's
//   key shows the machine's again, where it has one. Changing a key that
//   only the machine has first copies its values into the user's file.
// - A handle names its key by path. A key deleted through this process's
//   calls makes the handles open on it (and below it) fail with
//   ERROR_KEY_DELETED; a key deleted by another process does the same until
//   a key of that path is created again, which the handle then reaches.

#include <string>
#include <vector>

#include "platform/base/handles.h"
#include "platform/base/hresult.h"
#include "platform/base/win_types.h"

using REGSAM = DWORD;
using PHKEY = HKEY*;
struct SECURITY_ATTRIBUTES;

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};
using PFILETIME = FILETIME*;

// The predefined keys this platform has.
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)))

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_DWORD = 4;

// Access rights.
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
constexpr REGSAM MAXIMUM_ALLOWED = 0x02000000;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Results the registry gives beyond those of platform/base/hresult.h.
constexpr LONG ERROR_INVALID_DATA = 13;
constexpr LONG ERROR_BAD_PATHNAME = 161;

// Creates the key (and every missing key on its path) or opens it when it
// exists. An empty or null lpSubKey opens hKey itself again.
LONG RegCreateKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions, REGSAM samDesired,
                    const SECURITY_ATTRIBUTES* lpSecurityAttributes, PHKEY phkResult, LPDWORD lpdwDisposition);
// ERROR_FILE_NOT_FOUND when the key does not exist.
LONG RegOpenKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
LONG RegCloseKey(HKEY hKey);

// A null or empty value name is the key's default value.
LONG RegSetValueEx(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData, DWORD cbData);
// With lpData null, reports the size in *lpcbData. A buffer too small gives
// ERROR_MORE_DATA and the size needed. ERROR_FILE_NOT_FOUND when the value
// was never set (the default value included).
LONG RegQueryValueEx(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                     LPDWORD lpcbData);
LONG RegDeleteValue(HKEY hKey, LPCSTR lpValueName);

// Deletes a key with everything below it. A null lpSubKey empties hKey
// (its values and subkeys) and keeps the key itself.
LONG RegDeleteTree(HKEY hKey, LPCSTR lpSubKey);

// The subkeys in name order. ERROR_NO_MORE_ITEMS past the last one.
LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved, LPSTR lpClass,
                  LPDWORD lpcchClass, PFILETIME lpftLastWriteTime);

namespace kp::registry {
// The file that changes go to, from the environment at the time of the call:
// the user's, or the machine-wide one of a MachineRegistryScope.
std::string RegistryFilePath();
// For a tool: moves a damaged registry file (the one changes go to) aside,
// to a name beside it that begins with "classes.reg.corrupt-", returned in
// *savedAs, so the registry starts empty. Does nothing to a sound or
// missing file. Nothing else ever replaces a file that cannot be read.
LONG ResetCorruptFile(std::string* savedAs = nullptr);

// For messages: one file HKEY_CLASSES_ROOT is read from, and whether it can
// be: ERROR_SUCCESS (sound), ERROR_FILE_NOT_FOUND (not there),
// ERROR_CANTREAD or ERROR_REGISTRY_CORRUPT.
struct RegistryFileState {
  std::string path;
  LONG state = ERROR_FILE_NOT_FOUND;
};
// The files read now: the one changes go to, then the machine-wide file
// under it when one was found.
std::vector<RegistryFileState> RegistryFileStates();
// "PATH", "PATH (not there)", "PATH (cannot be read)" or "PATH (damaged)".
std::string DescribeRegistryFile(const RegistryFileState& file);

// Keys of this process opened or created and not yet closed (the
// predefined keys themselves are not counted), for leak tests.
int OpenKeyCount();
}  // namespace kp::registry
