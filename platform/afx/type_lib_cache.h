#pragma once
// The type library of a control class, loaded once from its registration
// (LoadRegTypeLib) and kept for the class.
//
//   DECLARE_OLETYPELIB(CMyCtrl)                          // in the class
//   IMPLEMENT_OLETYPELIB(CMyCtrl, LIBID_My, 1, 0)        // in its source file

#include "platform/com/type_info.h"

class CTypeLibCache {
 public:
  CTypeLibCache() = default;
  ~CTypeLibCache();
  CTypeLibCache(const CTypeLibCache&) = delete;
  CTypeLibCache& operator=(const CTypeLibCache&) = delete;

  // The library (with a reference for the caller), loaded on first use for
  // the locale asked; TYPE_E_LIBNOTREGISTERED when it is not registered.
  HRESULT GetTypeLib(REFGUID tlid, WORD wVerMajor, WORD wVerMinor, LCID lcid, LPTYPELIB* ppTypeLib);

 private:
  LPTYPELIB m_ptl = nullptr;
  LCID m_lcid = 0;
};

#define DECLARE_OLETYPELIB(class_name)                          \
 protected:                                                     \
  UINT GetTypeInfoCount() override;                             \
  HRESULT GetTypeLib(LCID lcid, LPTYPELIB* ppTypeLib) override; \
  CTypeLibCache* GetTypeLibCache() override;

#define IMPLEMENT_OLETYPELIB(class_name, tlid, wVerMajor, wVerMinor)                   \
  UINT class_name::GetTypeInfoCount() { return 1; }                                    \
  CTypeLibCache* class_name::GetTypeLibCache() {                                       \
    static CTypeLibCache cache;                                                        \
    return &cache;                                                                     \
  }                                                                                    \
  HRESULT class_name::GetTypeLib(LCID lcid, LPTYPELIB* ppTypeLib) {                    \
    return GetTypeLibCache()->GetTypeLib(tlid, wVerMajor, wVerMinor, lcid, ppTypeLib); \
  }
