#pragma once
// Unpacking an automation call's arguments (DISPPARAMS, last argument
// first) into a handler's C++ parameters, and packing its result. Used by
// dispatch maps (the object's side) and event-sink maps (the container's
// side), which check each handler's signature against its VTS_ list when
// they are compiled.

#include <exception>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/afx/vts.h"

namespace kp::afx {

// The arguments of one call, each coerced to the type its VTS_ code asks
// for, in parameter order (first parameter first). By-reference arguments
// and VTS_VARIANT arguments are the caller's own variants, not copies.
class CDispatchArgs {
 public:
  CDispatchArgs() = default;
  ~CDispatchArgs();
  CDispatchArgs(const CDispatchArgs&) = delete;
  CDispatchArgs& operator=(const CDispatchArgs&) = delete;

  // Checks the count and types of the arguments against `pbParams`.
  // DISP_E_NONAMEDARGS for named arguments, DISP_E_BADPARAMCOUNT for too
  // many, DISP_E_PARAMNOTOPTIONAL for too few or a missing one, and the
  // coercion's failure (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW) with
  // *puArgErr set to the argument's index in rgvarg.
  HRESULT Prepare(const BYTE* pbParams, const DISPPARAMS* pDispParams, UINT* puArgErr);

  const VARIANT& operator[](std::size_t i) const { return *m_args[i]; }
  std::size_t size() const { return m_args.size(); }

 private:
  std::vector<const VARIANT*> m_args;
  std::vector<VARIANT> m_coerced;  // reserved up front, so pointers into it stay valid
};

// The value of a prepared argument as the handler's parameter type.
template <typename T>
T ArgumentAs(const VARIANT& v) {
  using U = std::remove_cvref_t<T>;
  if constexpr (std::is_same_v<T, const VARIANT&>) {
    return v;
  } else if constexpr (std::is_same_v<T, LPCTSTR>) {
    return v.bstrVal != nullptr ? v.bstrVal : "";
  } else if constexpr (std::is_same_v<T, LPDISPATCH>) {
    return v.pdispVal;
  } else if constexpr (std::is_same_v<T, SHORT*>) {
    return v.piVal;
  } else if constexpr (std::is_same_v<T, LONG*>) {
    return v.plVal;
  } else if constexpr (std::is_same_v<U, bool>) {
    return v.boolVal != VARIANT_FALSE;
  } else if constexpr (std::is_floating_point_v<U>) {
    return static_cast<U>(v.vt == VT_R4 ? v.fltVal : v.dblVal);
  } else {
    static_assert(std::is_integral_v<U>);
    switch (v.vt) {
      case VT_I2: return static_cast<U>(v.iVal);
      case VT_BOOL: return static_cast<U>(v.boolVal != VARIANT_FALSE ? TRUE : FALSE);
      default: return static_cast<U>(v.lVal);
    }
  }
}

// Stores a handler's result in `pvarResult` as `vt`; a null `pvarResult`
// discards it (and frees a returned BSTR).
template <typename R>
void StoreResult(R&& value, VARTYPE vt, VARIANT* pvarResult) {
  using U = std::remove_cvref_t<R>;
  VARIANT result;
  VariantInit(&result);
  result.vt = vt;
  if constexpr (std::is_same_v<U, VARIANT>) {
    result = value;
  } else if constexpr (std::is_same_v<U, BSTR>) {
    result.bstrVal = value;
  } else if constexpr (std::is_floating_point_v<U>) {
    if (vt == VT_R4)
      result.fltVal = static_cast<float>(value);
    else
      result.dblVal = static_cast<double>(value);
  } else {
    switch (vt) {
      case VT_BOOL: result.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; break;
      case VT_I2: result.iVal = static_cast<SHORT>(value); break;
      default: result.lVal = static_cast<LONG>(value); break;
    }
  }
  if (pvarResult != nullptr) {
    VariantClear(pvarResult);
    *pvarResult = result;
  } else {
    VariantClear(&result);
  }
}

// Calls `pfn` on `pTarget` with the prepared arguments and returns what it
// returns (nothing for void).
template <typename C, typename R, typename... A, std::size_t... I>
R CallWithArgs(C* pTarget, R (C::*pfn)(A...), const CDispatchArgs& args, std::index_sequence<I...>) {
  return (pTarget->*pfn)(ArgumentAs<A>(args[I])...);
}

}  // namespace kp::afx
