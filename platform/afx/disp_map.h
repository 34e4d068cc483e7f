#pragma once
// Dispatch maps: the static table of an automation object's methods and
// properties, which its IDispatch (dispatch_part.h) serves.
//
//   BEGIN_DISPATCH_MAP(CMyCtrl, COleControl)
//     DISP_PROPERTY_NOTIFY(CMyCtrl, "Enabled", m_bEnabled, OnEnabledChanged, VT_BOOL)
//     DISP_FUNCTION(CMyCtrl, "Draw", Draw, VT_BOOL, VTS_PI4 VTS_I2 VTS_I2)
//     DISP_DEFVALUE(CMyCtrl, "Enabled")
//   END_DISPATCH_MAP()
//
// Member ids: an entry made without an id gets its position in its own map,
// counting from 1, with the depth of its map below the most derived one in
// the high word (0 for the class's own entries). So the first entry of a
// class's map is dispid 1, the second 2, and so on. DISP_DEFVALUE makes
// dispid 0 (DISPID_VALUE) an alias of the named member.
//
// Handlers: methods are `R OnX(params...)` with parameters matching the
// VTS_ list (see vts.h) and R matching the result type; properties bind a
// member of the property's C++ type (BOOL, SHORT, LONG, double or CString)
// and call a `void OnXChanged()` after each put. A mismatch does not build.

#include <cstddef>
#include <iterator>

#include "platform/afx/dispatch_args.h"
#include "platform/base/cstring.h"

class CCmdTarget;
struct AFX_DISPMAP_ENTRY;

// One call as a map entry's thunk sees it.
struct AFX_DISPCALL {
  const AFX_DISPMAP_ENTRY* pEntry;
  WORD wFlags;  // DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT
  DISPPARAMS* pDispParams;
  VARIANT* pvarResult;  // may be null
  UINT* puArgErr;       // may be null
};

using AFX_PDISPATCH = HRESULT (*)(CCmdTarget* pTarget, const AFX_DISPCALL& call);

enum class AfxDispKind : BYTE { Method, Property, DefaultValue };

struct AFX_DISPMAP_ENTRY {
  LPCTSTR lpszName;      // what GetIDsOfNames matches, without regard to case
  DISPID lDispID;        // DISPID_UNKNOWN: by position (see above)
  const BYTE* pbParams;  // a method's VTS_ list
  VARTYPE vt;            // a method's result type or a property's type
  AfxDispKind kind;
  AFX_PDISPATCH pfn;    // null for DISP_DEFVALUE
  DISPID lAliasDispID;  // DISP_DEFVALUE_ID: the member dispid 0 stands for
};

struct AFX_DISPMAP {
  const AFX_DISPMAP* (*pfnGetBaseMap)();
  const AFX_DISPMAP_ENTRY* lpEntries;
  std::size_t nEntries;
};

namespace kp::afx {

// A method entry's work once the generic checks have passed.
template <typename C, typename R, typename... A>
HRESULT InvokeDispatchMethod(C* pTarget, R (C::*pfn)(A...), const AFX_DISPCALL& call) {
  CDispatchArgs args;
  HRESULT hr = args.Prepare(call.pEntry->pbParams, call.pDispParams, call.puArgErr);
  if (FAILED(hr)) return hr;
  if constexpr (std::is_void_v<R>) {
    CallWithArgs(pTarget, pfn, args, std::index_sequence_for<A...>{});
    if (call.pvarResult != nullptr) VariantClear(call.pvarResult);
  } else {
    StoreResult(CallWithArgs(pTarget, pfn, args, std::index_sequence_for<A...>{}), call.pEntry->vt, call.pvarResult);
  }
  return S_OK;
}

// Reading and writing a property bound to a member: BOOL, or LONG, which is
// the same C++ type; the property's VARTYPE tells them apart.
HRESULT GetPropertyValue(const BOOL& member, VARTYPE vt, VARIANT* pvarResult);
// The argument of a property put, coerced to `vt`; *puArgErr gets 0 on failure.
HRESULT ReadPutValue(const AFX_DISPCALL& call, VARTYPE vt, VARIANT& value);
void AssignPropertyValue(BOOL& member, const VARIANT& value);

template <typename C, typename T>
HRESULT AccessDispatchProperty(C* pTarget, T& member, void (C::*pfnAfterSet)(), const AFX_DISPCALL& call) {
  if (call.wFlags & DISPATCH_PROPERTYGET) return GetPropertyValue(member, call.pEntry->vt, call.pvarResult);
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = ReadPutValue(call, call.pEntry->vt, value);
  if (FAILED(hr)) return hr;
  AssignPropertyValue(member, value);
  VariantClear(&value);
  if (pfnAfterSet != nullptr) (pTarget->*pfnAfterSet)();
  return S_OK;
}

// Which C++ member types a property of each VARTYPE binds to.
template <typename T>
constexpr bool PropertyMemberFits(VARTYPE vt) {
  switch (vt) {
    case VT_BOOL: return std::is_same_v<T, BOOL>;
    case VT_I2: return std::is_same_v<T, SHORT>;
    case VT_I4: return std::is_same_v<T, LONG>;
    case VT_R8: return std::is_same_v<T, double>;
    case VT_BSTR: return std::is_same_v<T, CString>;
    default: return false;
  }
}

}  // namespace kp::afx

#define DECLARE_DISPATCH_MAP()                    \
 protected:                                       \
  static const AFX_DISPMAP* GetThisDispatchMap(); \
  const AFX_DISPMAP* GetDispatchMap() const override;

#define BEGIN_DISPATCH_MAP(theClass, baseClass)                                        \
  const AFX_DISPMAP* theClass::GetDispatchMap() const { return GetThisDispatchMap(); } \
  const AFX_DISPMAP* theClass::GetThisDispatchMap() {                                  \
    using ThisClass [[maybe_unused]] = theClass;                                       \
    using TheBaseClass = baseClass;                                                    \
    static const AFX_DISPMAP_ENTRY _dispatchEntries[] = {
// The closing entry keeps the array non-empty; it is not counted.
#define END_DISPATCH_MAP()                                                                     \
  { nullptr, DISPID_UNKNOWN, nullptr, VT_EMPTY, AfxDispKind::Method, nullptr, 0 }              \
  }                                                                                            \
  ;                                                                                            \
  static const AFX_DISPMAP dispatchMap = {&TheBaseClass::GetThisDispatchMap, _dispatchEntries, \
                                          std::size(_dispatchEntries) - 1};                    \
  return &dispatchMap;                                                                         \
  }

#define DISP_FUNCTION_ID(theClass, szExternalName, dispid, pfnMember, vtRetVal, vtsParams)                \
  {szExternalName,                                                                                        \
   dispid,                                                                                                \
   reinterpret_cast<const BYTE*>(vtsParams),                                                              \
   static_cast<VARTYPE>(vtRetVal),                                                                        \
   AfxDispKind::Method,                                                                                   \
   [](CCmdTarget* pTarget, const AFX_DISPCALL& call) -> HRESULT {                                         \
     static_assert(::kp::afx::DispatchHandlerFits<decltype(&theClass::pfnMember)>(vtsParams, vtRetVal),   \
                   "the handler's signature does not match its VTS_ list and result type");               \
     return ::kp::afx::InvokeDispatchMethod(static_cast<theClass*>(pTarget), &theClass::pfnMember, call); \
   },                                                                                                     \
   0},

#define DISP_FUNCTION(theClass, szExternalName, pfnMember, vtRetVal, vtsParams) \
  DISP_FUNCTION_ID(theClass, szExternalName, DISPID_UNKNOWN, pfnMember, vtRetVal, vtsParams)

#define DISP_PROPERTY_NOTIFY_ID(theClass, szExternalName, dispid, memberName, pfnAfterSet, vtPropType)          \
  {szExternalName,                                                                                              \
   dispid,                                                                                                      \
   nullptr,                                                                                                     \
   static_cast<VARTYPE>(vtPropType),                                                                            \
   AfxDispKind::Property,                                                                                       \
   [](CCmdTarget* pTarget, const AFX_DISPCALL& call) -> HRESULT {                                               \
     auto* pThis = static_cast<theClass*>(pTarget);                                                             \
     static_assert(::kp::afx::PropertyMemberFits<std::remove_cvref_t<decltype(pThis->memberName)>>(vtPropType), \
                   "the member's type does not match the property's type");                                     \
     return ::kp::afx::AccessDispatchProperty(pThis, pThis->memberName, &theClass::pfnAfterSet, call);          \
   },                                                                                                           \
   0},

#define DISP_PROPERTY_NOTIFY(theClass, szExternalName, memberName, pfnAfterSet, vtPropType) \
  DISP_PROPERTY_NOTIFY_ID(theClass, szExternalName, DISPID_UNKNOWN, memberName, pfnAfterSet, vtPropType)

// Dispid 0 stands for the member named `szName` (or with id `dispid`).
#define DISP_DEFVALUE(theClass, szName) \
  {szName, DISPID_VALUE, nullptr, VT_EMPTY, AfxDispKind::DefaultValue, nullptr, DISPID_UNKNOWN},
#define DISP_DEFVALUE_ID(theClass, dispid) \
  {nullptr, DISPID_VALUE, nullptr, VT_EMPTY, AfxDispKind::DefaultValue, nullptr, dispid},
