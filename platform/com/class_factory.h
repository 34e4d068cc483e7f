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

// The entry points a COM module exports, by these names (extern "C").
using PFN_DllGetClassObject = HRESULT (*)(REFCLSID rclsid, REFIID riid, void** ppv);
using PFN_DllCanUnloadNow = HRESULT (*)();
using PFN_DllRegisterServer = HRESULT (*)();
using PFN_DllUnregisterServer = HRESULT (*)();
