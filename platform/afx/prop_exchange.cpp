#include "platform/afx/prop_exchange.h"

#include <cstring>

CPropExchange::~CPropExchange() = default;

BOOL CPropExchange::ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert) {
  if (IsLoading()) {
    DWORD version = dwVersionDefault;
    BOOL ok = PX_ULong(this, "_Version", version, dwVersionDefault);
    m_dwVersion = version;
    dwVersionLoaded = version;
    return ok;
  }
  DWORD version = bConvert ? dwVersionDefault : dwVersionLoaded;
  m_dwVersion = version;
  return PX_ULong(this, "_Version", version, dwVersionDefault);
}

void CPropExchange::AssignDefault(VARTYPE vtProp, void* pvProp, const void* pvDefault) {
  if (pvProp == nullptr || pvDefault == nullptr) return;
  switch (vtProp) {
    case VT_BOOL: std::memcpy(pvProp, pvDefault, sizeof(BOOL)); break;
    case VT_I2: std::memcpy(pvProp, pvDefault, sizeof(SHORT)); break;
    case VT_I4: std::memcpy(pvProp, pvDefault, sizeof(LONG)); break;
    case VT_UI4: std::memcpy(pvProp, pvDefault, sizeof(DWORD)); break;
    default: break;
  }
}

BOOL PX_Bool(CPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue, BOOL bDefault) {
  return pPX->ExchangeProp(pszPropName, VT_BOOL, &bValue, &bDefault);
}
BOOL PX_Short(CPropExchange* pPX, LPCTSTR pszPropName, SHORT& sValue, SHORT sDefault) {
  return pPX->ExchangeProp(pszPropName, VT_I2, &sValue, &sDefault);
}
BOOL PX_Long(CPropExchange* pPX, LPCTSTR pszPropName, LONG& lValue, LONG lDefault) {
  return pPX->ExchangeProp(pszPropName, VT_I4, &lValue, &lDefault);
}
BOOL PX_ULong(CPropExchange* pPX, LPCTSTR pszPropName, DWORD& ulValue, DWORD ulDefault) {
  return pPX->ExchangeProp(pszPropName, VT_UI4, &ulValue, &ulDefault);
}
