#pragma once
// Parameter-type strings of automation calls. A VTS_ string is a run of
// bytes, one per parameter, each a VARTYPE; 0x40 marks a by-reference
// parameter (VT_BYREF does not fit in a byte). Strings concatenate:
//   static BYTE parms[] = VTS_PI4 VTS_I2 VTS_I2;
//
// What each code means on the two sides of a call:
//
// | Code      | Handler parameter (dispatch and event-sink maps) | ... argument (InvokeHelper, FireEvent) |
// |-----------|--------------------------------------------------|----------------------------------------|
// | VTS_I2    | SHORT (or any wider integer)                     | short, promoted to int                 |
// | VTS_I4    | LONG  (or any integer of 32 bits or more)        | LONG                                   |
// | VTS_R4    | float or double                                  | float, promoted to double              |
// | VTS_R8    | double                                           | double                                 |
// | VTS_BSTR  | LPCTSTR, never null ("" for a null BSTR)         | LPCTSTR (null passes as "")            |
// | VTS_DISPATCH | LPDISPATCH                                    | LPDISPATCH                             |
// | VTS_BOOL  | BOOL or bool                                     | BOOL                                   |
// | VTS_VARIANT | const VARIANT&                                 | const VARIANT*                         |
// | VTS_PI2   | SHORT*, pointing into the caller's memory        | SHORT*                                 |
// | VTS_PI4   | LONG*, pointing into the caller's memory         | LONG*                                  |
//
// By-reference arguments are never copied: a handler that takes VTS_PI4
// gets the caller's own pointer, so it may read a whole array from it.

#include <type_traits>

#include "platform/com/dispatch.h"
#include "platform/com/dispatch_error_codes.h"

#define VTS_NONE ""
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_R4 "\x04"
#define VTS_R8 "\x05"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"
#define VTS_PI2 "\x42"
#define VTS_PI4 "\x43"

// The event-firing form: FireEvent(id, EVENT_PARAM(VTS_I4), value).
#define EVENT_PARAM(vtsParams) reinterpret_cast<const BYTE*>(vtsParams)

namespace kp::afx {

constexpr BYTE kVtsByRef = 0x40;

// The VARTYPE a parameter code asks for (by-reference codes get VT_BYREF).
constexpr VARTYPE VartypeOfVts(BYTE code) {
  return (code & kVtsByRef) ? static_cast<VARTYPE>((code & ~kVtsByRef) | VT_BYREF) : code;
}

// Whether this platform knows how to pass a parameter of this code.
constexpr bool IsKnownVts(BYTE code) {
  switch (code) {
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_BOOL:
    case VT_VARIANT:
    case VT_I2 | kVtsByRef:
    case VT_I4 | kVtsByRef: return true;
    default: return false;
  }
}

// The number of codes in a VTS_ string.
constexpr std::size_t VtsCount(const char* vts) {
  std::size_t n = 0;
  while (vts[n] != 0) ++n;
  return n;
}

// Whether a handler parameter of C++ type T can receive an argument of
// `code`. Checked at compile time by the map macros, so a map whose VTS_
// list disagrees with its handler does not build.
template <typename T>
constexpr bool HandlerParamFits(BYTE code) {
  using U = std::remove_cvref_t<T>;
  constexpr bool isInteger = std::is_integral_v<U> && !std::is_same_v<U, bool> && !std::is_same_v<U, char>;
  switch (code) {
    case VT_I2: return isInteger && sizeof(U) >= 2;
    case VT_I4: return isInteger && sizeof(U) >= 4;
    case VT_R4: return std::is_floating_point_v<U>;
    case VT_R8: return std::is_same_v<U, double>;
    case VT_BSTR: return std::is_same_v<T, LPCTSTR>;
    case VT_DISPATCH: return std::is_same_v<T, LPDISPATCH>;
    case VT_BOOL: return std::is_same_v<U, BOOL> || std::is_same_v<U, bool>;
    case VT_VARIANT: return std::is_same_v<T, const VARIANT&>;
    case VT_I2 | kVtsByRef: return std::is_same_v<T, SHORT*>;
    case VT_I4 | kVtsByRef: return std::is_same_v<T, LONG*>;
    default: return false;
  }
}

// Whether a handler's result type R can be returned as `vt`.
template <typename R>
constexpr bool HandlerResultFits(VARTYPE vt) {
  constexpr bool isInteger = std::is_integral_v<R> && !std::is_same_v<R, bool> && !std::is_same_v<R, char>;
  switch (vt) {
    case VT_EMPTY: return std::is_void_v<R>;
    case VT_I2: return isInteger;
    case VT_I4: return isInteger;
    case VT_R4:
    case VT_R8: return std::is_floating_point_v<R>;
    case VT_BSTR: return std::is_same_v<R, BSTR>;
    case VT_BOOL: return std::is_same_v<R, BOOL> || std::is_same_v<R, bool>;
    case VT_VARIANT: return std::is_same_v<R, VARIANT>;
    default: return false;
  }
}

template <typename... Args>
constexpr bool HandlerParamsFit(const char* vts) {
  if (VtsCount(vts) != sizeof...(Args)) return false;
  std::size_t i = 0;
  return (HandlerParamFits<Args>(static_cast<BYTE>(vts[i++])) && ...);
}

template <typename Fn>
struct HandlerTraits;
template <typename C, typename R, typename... A>
struct HandlerTraits<R (C::*)(A...)> {
  using Result = R;
  static constexpr bool ParamsFit(const char* vts) { return HandlerParamsFit<A...>(vts); }
};

// The checks the map macros make.
template <typename Fn>
constexpr bool DispatchHandlerFits(const char* vts, VARTYPE vtResult) {
  return HandlerTraits<Fn>::ParamsFit(vts) && HandlerResultFits<typename HandlerTraits<Fn>::Result>(vtResult);
}
template <typename Fn>
constexpr bool EventHandlerFits(const char* vts) {
  using R = typename HandlerTraits<Fn>::Result;
  return HandlerTraits<Fn>::ParamsFit(vts) && (std::is_void_v<R> || std::is_same_v<R, BOOL>);
}

}  // namespace kp::afx
