// CCmdTarget as a COM object: reference counting, QueryInterface through
// the interface map, automation through the dispatch map, and the routing
// of hosted controls' events through the event-sink map.

#include "platform/afx/cmd_target.h"

const AFX_DISPMAP* CCmdTarget::GetThisDispatchMap() {
  static const AFX_DISPMAP_ENTRY entries[] = {
      {nullptr, DISPID_UNKNOWN, nullptr, VT_EMPTY, AfxDispKind::Method, nullptr, 0}};
  static const AFX_DISPMAP map = {nullptr, entries, 0};
  return &map;
}
const AFX_DISPMAP* CCmdTarget::GetDispatchMap() const { return GetThisDispatchMap(); }

const AFX_INTERFACEMAP* CCmdTarget::GetThisInterfaceMap() {
  static const AFX_INTERFACEMAP_ENTRY entries[] = {{nullptr, nullptr}};
  static const AFX_INTERFACEMAP map = {nullptr, entries, 0};
  return &map;
}
const AFX_INTERFACEMAP* CCmdTarget::GetInterfaceMap() const { return GetThisInterfaceMap(); }

const AFX_EVENTSINKMAP* CCmdTarget::GetThisEventSinkMap() {
  static const AFX_EVENTSINKMAP_ENTRY entries[] = {{0, 0, nullptr, nullptr}};
  static const AFX_EVENTSINKMAP map = {nullptr, entries, 0};
  return &map;
}
const AFX_EVENTSINKMAP* CCmdTarget::GetEventSinkMap() const { return GetThisEventSinkMap(); }

void CCmdTarget::EnableAutomation() { m_bAutomationEnabled = TRUE; }

LPDISPATCH CCmdTarget::GetIDispatch(BOOL bAddRef) {
  if (!m_bAutomationEnabled) return nullptr;
  if (bAddRef) ExternalAddRef();
  return &m_xDispatch;
}

CCmdTarget* CCmdTarget::FromIDispatch(LPDISPATCH lpDispatch) {
  auto* part = dynamic_cast<CDispatchPart*>(lpDispatch);
  return part != nullptr ? part->GetOwner() : nullptr;
}

LPUNKNOWN CCmdTarget::GetControllingUnknown() {
  if (m_bAutomationEnabled) return &m_xDispatch;
  // Without automation the first interface of the map stands for the object.
  const AFX_INTERFACEMAP_ENTRY* first =
      AfxFindMapEntry(GetInterfaceMap(), [](const AFX_INTERFACEMAP_ENTRY&) { return true; });
  return first != nullptr ? first->pfnGetPart(this) : nullptr;
}

ULONG CCmdTarget::ExternalAddRef() { return InternalAddRef(); }
ULONG CCmdTarget::ExternalRelease() { return InternalRelease(); }
HRESULT CCmdTarget::ExternalQueryInterface(const void* iid, void** ppvObj) {
  return InternalQueryInterface(iid, ppvObj);
}

ULONG CCmdTarget::InternalAddRef() { return ++m_dwRef; }

ULONG CCmdTarget::InternalRelease() {
  // A release the object did not hand out leaves it alone.
  if (m_dwRef == 0) return 0;
  if (--m_dwRef != 0) return m_dwRef;
  // One reference holds the object steady while it tears itself down, so
  // that an AddRef/Release pair made during the teardown (a container
  // releasing its hold on the object) cannot start a second one.
  m_dwRef = 1;
  OnFinalRelease();
  return 0;
}

HRESULT CCmdTarget::InternalQueryInterface(const void* iid, void** ppvObj) {
  if (ppvObj == nullptr || iid == nullptr) return E_POINTER;
  *ppvObj = nullptr;
  const IID& riid = *static_cast<const IID*>(iid);
  IUnknown* part = nullptr;
  if (riid == IID_IUnknown) {
    part = GetControllingUnknown();
  } else if (riid == IID_IDispatch) {
    part = m_bAutomationEnabled ? &m_xDispatch : nullptr;
  } else {
    part = GetInterfaceHook(iid);
    if (part == nullptr) {
      const AFX_INTERFACEMAP_ENTRY* entry =
          AfxFindMapEntry(GetInterfaceMap(), [&](const AFX_INTERFACEMAP_ENTRY& e) { return *e.piid == riid; });
      if (entry != nullptr) part = entry->pfnGetPart(this);
    }
    // An object answers with its IDispatch only once automation is on.
    if (part == &m_xDispatch && !m_bAutomationEnabled) part = nullptr;
  }
  if (part == nullptr) return E_NOINTERFACE;
  InternalAddRef();
  *ppvObj = part;
  return S_OK;
}

void CCmdTarget::OnFinalRelease() { delete this; }

LPUNKNOWN CCmdTarget::GetInterfaceHook(const void*) { return nullptr; }

UINT CCmdTarget::GetTypeInfoCount() { return 0; }
HRESULT CCmdTarget::GetTypeLib(LCID, LPTYPELIB* ppTypeLib) {
  if (ppTypeLib != nullptr) *ppTypeLib = nullptr;
  return E_NOTIMPL;
}
BOOL CCmdTarget::GetDispatchIID(IID*) { return FALSE; }

BOOL CCmdTarget::OnEvent(UINT idCtrl, DISPID dispid, DISPPARAMS* pDispParams, HRESULT* phr) {
  HRESULT hr = S_OK;
  BOOL bHandled = FALSE;
  // Entries for the same control and event are tried most derived first
  // until one handles the event.
  AfxFindMapEntry(GetEventSinkMap(), [&](const AFX_EVENTSINKMAP_ENTRY& e) {
    if (e.nCtrlID != idCtrl || e.dispid != dispid) return false;
    UINT argErr = 0;
    BOOL bThisHandled = FALSE;
    hr = e.pfn(this, e, pDispParams, &argErr, &bThisHandled);
    if (FAILED(hr)) return true;
    bHandled = bThisHandled;
    return bHandled != FALSE;
  });
  if (phr != nullptr) *phr = hr;
  return bHandled;
}
