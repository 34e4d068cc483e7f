// The one walker of event maps.

#include "platform/afx/event_map.h"

#include <strings.h>

namespace {
// Calls `visit(entry, dispid)` most derived map first until it returns
// true; positions count as in dispatch maps.
template <typename Visit>
const AFX_EVENTMAP_ENTRY* WalkEventMap(const AFX_EVENTMAP* pMap, Visit&& visit) {
  for (WORD depth = 0; pMap != nullptr; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr, ++depth) {
    for (std::size_t i = 0; i < pMap->nEntries; ++i) {
      const AFX_EVENTMAP_ENTRY& e = pMap->lpEntries[i];
      DISPID id = e.dispid != DISPID_UNKNOWN ? e.dispid : MAKELONG(static_cast<WORD>(i + 1), depth);
      if (visit(e, id)) return &e;
    }
  }
  return nullptr;
}
}  // namespace

DISPID AfxFindEventByName(const AFX_EVENTMAP* pMap, LPCTSTR lpszName, const AFX_EVENTMAP_ENTRY** ppEntry) {
  DISPID found = DISPID_UNKNOWN;
  const AFX_EVENTMAP_ENTRY* entry = WalkEventMap(pMap, [&](const AFX_EVENTMAP_ENTRY& e, DISPID id) {
    if (lpszName == nullptr || e.lpszName == nullptr || strcasecmp(e.lpszName, lpszName) != 0) return false;
    found = id;
    return true;
  });
  if (ppEntry != nullptr) *ppEntry = entry;
  return found;
}

const AFX_EVENTMAP_ENTRY* AfxFindEventById(const AFX_EVENTMAP* pMap, DISPID dispid) {
  return WalkEventMap(pMap, [&](const AFX_EVENTMAP_ENTRY&, DISPID id) { return id == dispid; });
}
