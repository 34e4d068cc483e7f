#pragma once
// Event maps: on the object's side, the events a control raises, by name,
// dispid and parameter list. The framework raises an event with FireEvent
// (COleControl); the map describes the control's event interface.
//
//   BEGIN_EVENT_MAP(CMyCtrl, COleControl)
//     EVENT_CUSTOM("BmpChange", FireBmpChange, VTS_NONE)   // dispid 1
//   END_EVENT_MAP()
//
// An entry made without an id gets its position in its own map, counting
// from 1 (with the map's depth below the most derived one in the high
// word), as dispatch maps do. The firing function named in the entry is the
// control's own (`void FireBmpChange() { FireEvent(1, EVENT_PARAM(VTS_NONE)); }`);
// the map only records its name.

#include <cstddef>
#include <iterator>

#include "platform/afx/vts.h"

struct AFX_EVENTMAP_ENTRY {
  LPCTSTR lpszName;
  DISPID dispid;  // DISPID_UNKNOWN: by position
  const BYTE* pbParams;
};

struct AFX_EVENTMAP {
  const AFX_EVENTMAP* (*pfnGetBaseMap)();
  const AFX_EVENTMAP_ENTRY* lpEntries;
  std::size_t nEntries;
};

#define DECLARE_EVENT_MAP()                     \
 protected:                                     \
  static const AFX_EVENTMAP* GetThisEventMap(); \
  const AFX_EVENTMAP* GetEventMap() const override;

#define BEGIN_EVENT_MAP(theClass, baseClass)                                      \
  const AFX_EVENTMAP* theClass::GetEventMap() const { return GetThisEventMap(); } \
  const AFX_EVENTMAP* theClass::GetThisEventMap() {                               \
    using TheBaseClass = baseClass;                                               \
    static const AFX_EVENTMAP_ENTRY _eventEntries[] = {
#define EVENT_CUSTOM_ID(pszName, dispid, pfnFire, vtsParams) \
  {pszName, static_cast<DISPID>(dispid), reinterpret_cast<const BYTE*>(vtsParams)},
#define EVENT_CUSTOM(pszName, pfnFire, vtsParams) EVENT_CUSTOM_ID(pszName, DISPID_UNKNOWN, pfnFire, vtsParams)

#define END_EVENT_MAP()                                                                                               \
  { nullptr, DISPID_UNKNOWN, nullptr }                                                                                \
  }                                                                                                                   \
  ;                                                                                                                   \
  static const AFX_EVENTMAP eventMap = {&TheBaseClass::GetThisEventMap, _eventEntries, std::size(_eventEntries) - 1}; \
  return &eventMap;                                                                                                   \
  }
