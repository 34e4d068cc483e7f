#pragma once
// Variants of one type and value, for tests that build automation calls or
// convert values. A BSTR made here is the caller's to free (VariantClear).

#include <type_traits>

#include "platform/com/variant.h"

namespace kp::testing {

inline VARIANT MakeVariant(VARTYPE vt) {
  VARIANT x;
  VariantInit(&x);
  x.vt = vt;
  return x;
}
// A variant of type `vt` whose member `field` holds `value`.
template <typename T>
VARIANT MakeVariant(VARTYPE vt, T VARIANT::*field, std::type_identity_t<T> value) {
  VARIANT x = MakeVariant(vt);
  x.*field = value;
  return x;
}
inline VARIANT MakeEmpty() { return MakeVariant(VT_EMPTY); }
inline VARIANT MakeNull() { return MakeVariant(VT_NULL); }
inline VARIANT MakeI2(SHORT v) { return MakeVariant(VT_I2, &VARIANT::iVal, v); }
inline VARIANT MakeI4(LONG v) { return MakeVariant(VT_I4, &VARIANT::lVal, v); }
inline VARIANT MakeR8(double v) { return MakeVariant(VT_R8, &VARIANT::dblVal, v); }
inline VARIANT MakeBool(bool v) { return MakeVariant(VT_BOOL, &VARIANT::boolVal, v ? VARIANT_TRUE : VARIANT_FALSE); }
inline VARIANT MakeError(SCODE e) { return MakeVariant(VT_ERROR, &VARIANT::scode, e); }
// The value an optional argument has when the caller leaves it out.
inline VARIANT MakeMissing() { return MakeError(DISP_E_PARAMNOTFOUND); }
inline VARIANT MakeBstr(const char* s) { return MakeVariant(VT_BSTR, &VARIANT::bstrVal, SysAllocString(s)); }
inline VARIANT MakeRefI2(SHORT* p) { return MakeVariant(VT_I2 | VT_BYREF, &VARIANT::piVal, p); }
inline VARIANT MakeRefI4(LONG* p) { return MakeVariant(VT_I4 | VT_BYREF, &VARIANT::plVal, p); }

}  // namespace kp::testing
