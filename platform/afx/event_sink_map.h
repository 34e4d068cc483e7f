#pragma once
// Event-sink maps: on the container's side, which member function handles
// which event of which hosted control.
//
//   BEGIN_EVENTSINK_MAP(CMyDlg, CDialog)
//     ON_EVENT(CMyDlg, IDC_SLOT1, 1 /* BmpChange */, OnBmpChangeSlot1, VTS_NONE)
//   END_EVENTSINK_MAP()
//
// Handlers take the event's parameters as the VTS_ list says (vts.h) and
// return BOOL: TRUE when they handled the event, FALSE to let a later entry
// for the same control and event (in a base class's map) have it. A handler
// may also return void, which counts as handled. CCmdTarget::OnEvent routes
// one event through the map; the control site's sink calls it.

#include <cstddef>
#include <iterator>

#include "platform/afx/dispatch_args.h"

class CCmdTarget;
struct AFX_EVENTSINKMAP_ENTRY;

// An entry's thunk: unpacks the event's arguments and calls the handler.
// S_OK with *pbHandled set, or the unpacking's failure.
using AFX_PEVENTSINK = HRESULT (*)(CCmdTarget* pTarget, const AFX_EVENTSINKMAP_ENTRY& entry, DISPPARAMS* pDispParams,
                                   UINT* puArgErr, BOOL* pbHandled);

struct AFX_EVENTSINKMAP_ENTRY {
  UINT nCtrlID;
  DISPID dispid;
  const BYTE* pbParams;
  AFX_PEVENTSINK pfn;
};

struct AFX_EVENTSINKMAP {
  const AFX_EVENTSINKMAP* (*pfnGetBaseMap)();
  const AFX_EVENTSINKMAP_ENTRY* lpEntries;
  std::size_t nEntries;
};

namespace kp::afx {

template <typename C, typename R, typename... A>
HRESULT InvokeEventHandler(C* pTarget, R (C::*pfn)(A...), const BYTE* pbParams, DISPPARAMS* pDispParams, UINT* puArgErr,
                           BOOL* pbHandled) {
  CDispatchArgs args;
  HRESULT hr = args.Prepare(pbParams, pDispParams, puArgErr);
  if (FAILED(hr)) return hr;
  if constexpr (std::is_void_v<R>) {
    CallWithArgs(pTarget, pfn, args, std::index_sequence_for<A...>{});
    *pbHandled = TRUE;
  } else {
    *pbHandled = CallWithArgs(pTarget, pfn, args, std::index_sequence_for<A...>{}) ? TRUE : FALSE;
  }
  return S_OK;
}

}  // namespace kp::afx

#define DECLARE_EVENTSINK_MAP()                         \
 protected:                                             \
  static const AFX_EVENTSINKMAP* GetThisEventSinkMap(); \
  const AFX_EVENTSINKMAP* GetEventSinkMap() const override;

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                                              \
  const AFX_EVENTSINKMAP* theClass::GetEventSinkMap() const { return GetThisEventSinkMap(); } \
  const AFX_EVENTSINKMAP* theClass::GetThisEventSinkMap() {                                   \
    using TheBaseClass = baseClass;                                                           \
    static const AFX_EVENTSINKMAP_ENTRY _eventSinkEntries[] = {
#define ON_EVENT(theClass, id, dispid, pfnHandler, vtsParams)                                                          \
  {static_cast<UINT>(id), static_cast<DISPID>(dispid), reinterpret_cast<const BYTE*>(vtsParams),                       \
   [](CCmdTarget* pTarget, const AFX_EVENTSINKMAP_ENTRY& entry, DISPPARAMS* pDispParams, UINT* puArgErr,               \
      BOOL* pbHandled) -> HRESULT {                                                                                    \
     static_assert(::kp::afx::EventHandlerFits<decltype(&theClass::pfnHandler)>(vtsParams),                            \
                   "the event handler's signature does not match its VTS_ list, or it returns neither BOOL nor void"); \
     return ::kp::afx::InvokeEventHandler(static_cast<theClass*>(pTarget), &theClass::pfnHandler, entry.pbParams,      \
                                          pDispParams, puArgErr, pbHandled);                                           \
   }},

#define END_EVENTSINK_MAP()                                                                            \
  { 0, 0, nullptr, nullptr }                                                                           \
  }                                                                                                    \
  ;                                                                                                    \
  static const AFX_EVENTSINKMAP eventSinkMap = {&TheBaseClass::GetThisEventSinkMap, _eventSinkEntries, \
                                                std::size(_eventSinkEntries) - 1};                     \
  return &eventSinkMap;                                                                                \
  }
