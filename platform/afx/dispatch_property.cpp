// Reading and writing dispatch-map properties bound to members.

#include "platform/afx/disp_map.h"

namespace kp::afx {

HRESULT GetPropertyValue(const BOOL& member, VARTYPE vt, VARIANT* pvarResult) {
  // The value is the member's whole value, as the member holds it: a BOOL
  // loaded as 0x70 reads as VARIANT_TRUE, a LONG as itself.
  StoreResult(member, vt, pvarResult);
  return S_OK;
}

HRESULT GetPropertyValue(const SHORT& member, VARTYPE vt, VARIANT* pvarResult) {
  StoreResult(member, vt, pvarResult);
  return S_OK;
}

HRESULT GetPropertyValue(const double& member, VARTYPE vt, VARIANT* pvarResult) {
  StoreResult(member, vt, pvarResult);
  return S_OK;
}

HRESULT GetPropertyValue(const CString& member, VARTYPE, VARIANT* pvarResult) {
  if (pvarResult == nullptr) return S_OK;
  BSTR text = SysAllocStringLen(member.GetString(), static_cast<UINT>(member.GetLength()));
  if (text == nullptr) return E_OUTOFMEMORY;
  StoreResult(text, VT_BSTR, pvarResult);
  return S_OK;
}

HRESULT ReadPutValue(const AFX_DISPCALL& call, VARTYPE vt, VARIANT& value) {
  // rgvarg[0] is the value; the caller checked there is exactly one.
  HRESULT hr = VariantChangeType(&value, &call.pDispParams->rgvarg[0], 0, vt);
  if (FAILED(hr) && call.puArgErr != nullptr) *call.puArgErr = 0;
  return hr;
}

void AssignPropertyValue(BOOL& member, const VARIANT& value) {
  member = value.vt == VT_BOOL ? (value.boolVal != VARIANT_FALSE ? TRUE : FALSE) : value.lVal;
}
void AssignPropertyValue(SHORT& member, const VARIANT& value) { member = value.iVal; }
void AssignPropertyValue(double& member, const VARIANT& value) { member = value.dblVal; }
void AssignPropertyValue(CString& member, const VARIANT& value) {
  member = CString(value.bstrVal != nullptr ? value.bstrVal : "", static_cast<int>(SysStringLen(value.bstrVal)));
}

}  // namespace kp::afx
