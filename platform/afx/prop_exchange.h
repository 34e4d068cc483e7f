#pragma once
// Property exchange: one function, the control's DoPropExchange, describes
// its persisted properties; the exchange object it is handed decides
// whether they are loaded, saved or reset, and where to (a stream, a
// property bag, defaults).
//
//   void CMyCtrl::DoPropExchange(CPropExchange* pPX) {
//     ExchangeVersion(pPX, MAKELONG(0, 1));
//     COleControl::DoPropExchange(pPX);
//     PX_Bool(pPX, "InitiallyDroppable", m_initiallyDroppable, TRUE);
//   }
//
// Each PX_ call loads the member (or its default when the source lacks
// it), saves it, or assigns the default. A PX_ call answers FALSE when its
// exchange failed; the exchange remembers the first failure (GetResult).

#include "platform/com/variant.h"

class CPropExchange {
 public:
  virtual ~CPropExchange();
  CPropExchange(const CPropExchange&) = delete;
  CPropExchange& operator=(const CPropExchange&) = delete;

  BOOL IsLoading() const { return m_bLoading; }
  // The version exchanged by ExchangeVersion: the stored one when loading.
  DWORD GetVersion() const { return m_dwVersion; }

  // Exchanges "_Version". Loading reads the stored version into
  // dwVersionLoaded; saving writes dwVersionDefault (the current version)
  // when bConvert is set, else dwVersionLoaded; resetting assigns the default.
  virtual BOOL ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert);

  // Exchanges one property: `pvProp` points at a BOOL (VT_BOOL), SHORT
  // (VT_I2), LONG (VT_I4) or DWORD (VT_UI4), `pvDefault` at its default.
  virtual BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault) = 0;

  // S_OK while every exchange succeeded; otherwise the first failure.
  HRESULT GetResult() const { return m_hrResult; }

 protected:
  explicit CPropExchange(BOOL bLoading) : m_bLoading(bLoading) {}
  void SetFailure(HRESULT hr) {
    if (SUCCEEDED(m_hrResult)) m_hrResult = hr;
  }
  // Copies a property's default into it.
  static void AssignDefault(VARTYPE vtProp, void* pvProp, const void* pvDefault);

  BOOL m_bLoading;
  DWORD m_dwVersion = 0;
  HRESULT m_hrResult = S_OK;
};

BOOL PX_Bool(CPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue, BOOL bDefault);
BOOL PX_Short(CPropExchange* pPX, LPCTSTR pszPropName, SHORT& sValue, SHORT sDefault);
BOOL PX_Long(CPropExchange* pPX, LPCTSTR pszPropName, LONG& lValue, LONG lDefault);
BOOL PX_ULong(CPropExchange* pPX, LPCTSTR pszPropName, DWORD& ulValue, DWORD ulDefault);
