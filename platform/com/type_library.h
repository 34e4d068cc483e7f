#pragma once
// Type libraries: loading them from modules (their "TYPELIB" 1 resource)
// or from the registry, registering and unregistering them, and the
// ITypeLib / ITypeInfo objects that answer questions about them.
//
// Registry entries (HKEY_CLASSES_ROOT), as Windows writes them, with the
// platform subkey "linux64" (or "linux32") in place of "win32":
//   TypeLib\{libid}\<major>.<minor>            (default) help string or name
//   TypeLib\{libid}\<major>.<minor>\FLAGS      (default) library flags, decimal
//   TypeLib\{libid}\<major>.<minor>\HELPDIR    (default) help folder
//   TypeLib\{libid}\<major>.<minor>\<lcid>\linux64  (default) module path
//   Interface\{iid}                            (default) interface name
//   Interface\{iid}\ProxyStubClsid(32)         (default) {00020420-...}
//   Interface\{iid}\TypeLib                    (default) {libid}, Version
// Versions and locale ids are written in hex, as Windows does.

#include <span>

#include "platform/base/handles.h"
#include "platform/com/type_info.h"

// Loads the type library of the module at `szFile` (its "TYPELIB" 1
// resource), or a type library text file. TYPE_E_CANTLOADLIBRARY when the
// file cannot be loaded or carries no library, TYPE_E_INVDATAREAD when the
// library text is malformed.
HRESULT LoadTypeLib(LPCOLESTR szFile, ITypeLib** pptlib);
// Loads the registered library `rguid` of major version wVerMajor and a
// minor version of at least wVerMinor (the highest registered), for `lcid`
// or else its primary language or else locale 0. TYPE_E_LIBNOTREGISTERED
// when no such registration exists.
HRESULT LoadRegTypeLib(REFGUID rguid, WORD wVerMajor, WORD wVerMinor, LCID lcid, ITypeLib** pptlib);
// Writes the registry entries above for `ptlib` found at the absolute path
// `szFullPath`. TYPE_E_REGISTRYACCESS when the registry refuses.
HRESULT RegisterTypeLib(ITypeLib* ptlib, LPCOLESTR szFullPath, LPCOLESTR szHelpDir);
// Removes the entries of one registration: the platform path of `lcid`,
// then whatever is left empty above it, and the Interface keys that name
// this library and version. Entries already absent count as removed.
// `syskind` is accepted for its shape; the platform subkey is always ours.
HRESULT UnRegisterTypeLib(REFGUID libID, WORD wVerMajor, WORD wVerMinor, LCID lcid, SYSKIND syskind);

namespace kp::com {
// The library read from its text form.
HRESULT LoadTypeLibFromBytes(std::span<const BYTE> bytes, ITypeLib** pptlib);
// The library of a loaded module (its "TYPELIB" 1 resource).
HRESULT LoadTypeLibFromModule(HINSTANCE module, ITypeLib** pptlib);
// The registry subkey naming this platform under a library's locale key.
const char* TypeLibPlatformKey();
}  // namespace kp::com
