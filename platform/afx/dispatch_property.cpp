// Reading and writing dispatch-map properties bound to members.

#include "platform/afx/disp_map.h"

namespace kp::afx {

HRESULT GetPropertyValue(const BOOL& member, VARTYPE vt, VARIANT* pvarResult) {
  // The value is the member's whole value, as the member holds it: a BOOL
  // loaded as 0x70 reads as VARIANT_TRUE, a LONG as itself.
  StoreResult(member, vt, pvarResult);
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

}  // namespace kp::afx
