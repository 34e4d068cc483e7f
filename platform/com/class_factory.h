#pragma once
// IClassFactory: what a module's DllGetClassObject hands out and what a
// server program registers with CoRegisterClassObject.

#include "platform/com/unknown.h"

inline constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class IClassFactory : public IUnknown {
 public:
  // Makes a new object; `pUnkOuter` non-null asks for aggregation, which a
  // class refuses with CLASS_E_NOAGGREGATION.
  virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
  // Keeps the server (the module or the program) loaded while fLock holds.
  virtual HRESULT LockServer(BOOL fLock) = 0;

 protected:
  ~IClassFactory() override;
};
using LPCLASSFACTORY = IClassFactory*;

// A module's exports. Modules are built with hidden visibility, so the entry
// points must be marked for export; a version script then keeps everything
// else local. Define them as `STDAPI DllCanUnloadNow() { ... }`.
#define STDAPI extern "C" __attribute__((visibility("default"))) HRESULT
#define STDAPI_(type) extern "C" __attribute__((visibility("default"))) type

// The entry points a COM module exports, by these names.
STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
STDAPI DllCanUnloadNow();
STDAPI DllRegisterServer();
STDAPI DllUnregisterServer();
using PFN_DllGetClassObject = HRESULT (*)(REFCLSID rclsid, REFIID riid, void** ppv);
using PFN_DllCanUnloadNow = HRESULT (*)();
using PFN_DllRegisterServer = HRESULT (*)();
using PFN_DllUnregisterServer = HRESULT (*)();
