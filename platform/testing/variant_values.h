#pragma once
// Variants of one type and value, for tests that build automation calls or
// convert values. A BSTR made here is the caller's to free (VariantClear).

#include "platform/com/variant.h"

namespace kp::testing {

inline VARIANT MakeVariant(VARTYPE vt) {
  VARIANT x;
  VariantInit(&x);
  x.vt = vt;
  return x;
}
inline VARIANT MakeEmpty() { return MakeVariant(VT_EMPTY); }
inline VARIANT MakeNull() { return MakeVariant(VT_NULL); }
inline VARIANT MakeI2(SHORT v) {
  VARIANT x = MakeVariant(VT_I2);
  x.iVal = v;
  return x;
}
inline VARIANT MakeI4(LONG v) {
  VARIANT x = MakeVariant(VT_I4);
  x.lVal = v;
  return x;
}
inline VARIANT MakeR8(double v) {
  VARIANT x = MakeVariant(VT_R8);
  x.dblVal = v;
  return x;
}
inline VARIANT MakeBool(bool v) {
  VARIANT x = MakeVariant(VT_BOOL);
  x.boolVal = v ? VARIANT_TRUE : VARIANT_FALSE;
  return x;
}
inline VARIANT MakeError(SCODE e) {
  VARIANT x = MakeVariant(VT_ERROR);
  x.scode = e;
  return x;
}
// The value an optional argument has when the caller leaves it out.
inline VARIANT MakeMissing() { return MakeError(DISP_E_PARAMNOTFOUND); }
inline VARIANT MakeBstr(const char* s) {
  VARIANT x = MakeVariant(VT_BSTR);
  x.bstrVal = SysAllocString(s);
  return x;
}
inline VARIANT MakeRefI2(SHORT* p) {
  VARIANT x = MakeVariant(VT_I2 | VT_BYREF);
  x.piVal = p;
  return x;
}
inline VARIANT MakeRefI4(LONG* p) {
  VARIANT x = MakeVariant(VT_I4 | VT_BYREF);
  x.plVal = p;
  return x;
}

}  // namespace kp::testing
