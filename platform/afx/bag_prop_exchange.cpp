#include "platform/afx/bag_prop_exchange.h"

CPropBagPropExchange::CPropBagPropExchange(IPropertyBag* pPropBag, IErrorLog* pErrorLog, BOOL bLoading)
    : CPropExchange(bLoading), m_pPropBag(pPropBag), m_pErrorLog(pErrorLog) {}

BOOL CPropBagPropExchange::ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault) {
  if (pvProp == nullptr || pszPropName == nullptr || m_pPropBag == nullptr) {
    SetFailure(E_INVALIDARG);
    return FALSE;
  }
  VARIANT v;
  VariantInit(&v);
  if (IsLoading()) {
    v.vt = vtProp;
    if (FAILED(m_pPropBag->Read(pszPropName, &v, m_pErrorLog)) || v.vt != vtProp) {
      VariantClear(&v);
      AssignDefault(vtProp, pvProp, pvDefault);
      return TRUE;
    }
    switch (vtProp) {
      case VT_BOOL: *static_cast<BOOL*>(pvProp) = v.boolVal != VARIANT_FALSE ? TRUE : FALSE; break;
      case VT_I2: *static_cast<SHORT*>(pvProp) = v.iVal; break;
      case VT_I4: *static_cast<LONG*>(pvProp) = v.lVal; break;
      case VT_UI4: *static_cast<DWORD*>(pvProp) = v.ulVal; break;
      default: break;
    }
    VariantClear(&v);
    return TRUE;
  }
  v.vt = vtProp;
  switch (vtProp) {
    case VT_BOOL: v.boolVal = *static_cast<const BOOL*>(pvProp) ? VARIANT_TRUE : VARIANT_FALSE; break;
    case VT_I2: v.iVal = *static_cast<const SHORT*>(pvProp); break;
    case VT_I4: v.lVal = *static_cast<const LONG*>(pvProp); break;
    case VT_UI4: v.ulVal = *static_cast<const DWORD*>(pvProp); break;
    default: SetFailure(E_INVALIDARG); return FALSE;
  }
  HRESULT hr = m_pPropBag->Write(pszPropName, &v);
  if (FAILED(hr)) {
    SetFailure(hr);
    return FALSE;
  }
  return TRUE;
}
