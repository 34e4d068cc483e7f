#pragma once
// The framework's side of a COM module's exports. Each export is one line:
//
//   STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
//     return AfxDllGetClassObject(rclsid, riid, ppv);
//   }
//   STDAPI DllCanUnloadNow() { return AfxDllCanUnloadNow(); }
//
// The module argument defaults to the module the export is compiled into,
// so each module answers from its own factory list and lock count.

#include "platform/base/module.h"
#include "platform/com/class_factory.h"

// The factory of `rclsid` among the module's, asked for `riid`;
// CLASS_E_CLASSNOTAVAILABLE when the module has no such class.
HRESULT AfxDllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv, HINSTANCE hModule = AfxGetInstanceHandle());
// S_OK when no object the module made is alive and no lock is held on it,
// S_FALSE otherwise.
HRESULT AfxDllCanUnloadNow(HINSTANCE hModule = AfxGetInstanceHandle());
