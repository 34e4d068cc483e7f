// The COM faces of COleControl: each part forwards to the control.

#include <cstring>

#include "platform/afx/ole_control.h"
#include "platform/afx/ole_verb_enum.h"
#include "platform/afx/prop_persistence.h"
#include "platform/com/bstr.h"
#include "platform/resources/resources.h"

namespace {
COleControl* Owner(CCmdTarget* pOwner) { return static_cast<COleControl*>(pOwner); }

LPOLESTR CopyToTaskMemory(const std::string& text) {
  auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(text.size() + 1));
  if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

// The name a container lists a verb under when the module has no string
// for it.
constexpr const char* kUnknownVerbName = "<unknown verb>";
}  // namespace

// IOleObject

HRESULT COleControl::XOleObject::SetClientSite(IOleClientSite* pClientSite) {
  COleControl* pThis = Owner(m_pOwner);
  pThis->ReleaseClientSite();
  if (pClientSite == nullptr) return S_OK;
  pClientSite->AddRef();
  pThis->m_pClientSite = pClientSite;
  // Both are optional: a site that cannot host in place or has no control
  // site still holds the control.
  pClientSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&pThis->m_pInPlaceSite));
  pClientSite->QueryInterface(IID_IOleControlSite, reinterpret_cast<void**>(&pThis->m_pControlSite));
  return S_OK;
}

HRESULT COleControl::XOleObject::GetClientSite(IOleClientSite** ppClientSite) {
  if (ppClientSite == nullptr) return E_POINTER;
  *ppClientSite = Owner(m_pOwner)->m_pClientSite;
  if (*ppClientSite != nullptr) (*ppClientSite)->AddRef();
  return S_OK;
}

HRESULT COleControl::XOleObject::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT COleControl::XOleObject::Close(DWORD) {
  Owner(m_pOwner)->DeactivateWindow();
  return S_OK;
}

HRESULT COleControl::XOleObject::DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG, HWND hwndParent,
                                        LPCRECT lprcPosRect) {
  COleControl* pThis = Owner(m_pOwner);
  if (pThis->m_pClientSite == nullptr && pActiveSite != nullptr) SetClientSite(pActiveSite);
  // The control stays alive through its verb (a frame it shows may outlive
  // the container's hold on it).
  pThis->InternalAddRef();
  HRESULT hr = pThis->OnDoVerb(iVerb, lpmsg, hwndParent, lprcPosRect);
  pThis->InternalRelease();
  return hr;
}

HRESULT COleControl::XOleObject::EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) {
  COleControl* pThis = Owner(m_pOwner);
  std::vector<kp::afx::VerbDescription> verbs;
  for (const VerbEntry& verb : pThis->CustomVerbs()) {
    std::optional<std::string> name = kp::resources::FindStringResource(pThis->GetControlModule(), verb.idsName);
    verbs.push_back({verb.lVerb, name ? *name : kUnknownVerbName, 0, OLEVERBATTRIB_ONCONTAINERMENU});
  }
  return kp::afx::CreateVerbEnumerator(std::move(verbs), ppEnumOleVerb);
}

HRESULT COleControl::XOleObject::GetUserClassID(CLSID* pClsid) { return Owner(m_pOwner)->GetClassID(pClsid); }

HRESULT COleControl::XOleObject::GetUserType(DWORD, LPOLESTR* pszUserType) {
  if (pszUserType == nullptr) return E_POINTER;
  *pszUserType = nullptr;
  COleControl* pThis = Owner(m_pOwner);
  std::optional<std::string> name =
      kp::resources::FindStringResource(pThis->GetControlModule(), pThis->GetUserTypeNameID());
  if (!name) return E_FAIL;
  *pszUserType = CopyToTaskMemory(*name);
  return *pszUserType != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT COleControl::XOleObject::SetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
  if (psizel == nullptr) return E_POINTER;
  if (dwDrawAspect != DVASPECT_CONTENT) return E_INVALIDARG;
  Owner(m_pOwner)->SetControlExtent(psizel->cx, psizel->cy);
  return S_OK;
}

HRESULT COleControl::XOleObject::GetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
  if (psizel == nullptr) return E_POINTER;
  if (dwDrawAspect != DVASPECT_CONTENT) return E_INVALIDARG;
  Owner(m_pOwner)->GetControlExtent(&psizel->cx, &psizel->cy);
  return S_OK;
}

HRESULT COleControl::XOleObject::GetMiscStatus(DWORD, DWORD* pdwStatus) {
  if (pdwStatus == nullptr) return E_POINTER;
  *pdwStatus = Owner(m_pOwner)->GetMiscStatus();
  return S_OK;
}

// IOleInPlaceObject

HRESULT COleControl::XOleInPlaceObject::GetWindow(HWND* phwnd) {
  if (phwnd == nullptr) return E_POINTER;
  *phwnd = Owner(m_pOwner)->m_hWnd;
  return *phwnd != nullptr ? S_OK : E_FAIL;
}

HRESULT COleControl::XOleInPlaceObject::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT COleControl::XOleInPlaceObject::InPlaceDeactivate() {
  Owner(m_pOwner)->DeactivateWindow();
  return S_OK;
}

HRESULT COleControl::XOleInPlaceObject::UIDeactivate() { return S_OK; }

HRESULT COleControl::XOleInPlaceObject::SetObjectRects(LPCRECT lprcPosRect, LPCRECT) {
  if (lprcPosRect == nullptr) return E_POINTER;
  COleControl* pThis = Owner(m_pOwner);
  if (pThis->m_hWnd == nullptr) return E_UNEXPECTED;
  pThis->MoveWindow(lprcPosRect);
  return S_OK;
}

// IPersistStreamInit

HRESULT COleControl::XPersistStreamInit::GetClassID(CLSID* pClassID) { return Owner(m_pOwner)->GetClassID(pClassID); }

HRESULT COleControl::XPersistStreamInit::IsDirty() { return Owner(m_pOwner)->IsModified() ? S_OK : S_FALSE; }

HRESULT COleControl::XPersistStreamInit::Load(IStream* pStm) {
  if (pStm == nullptr) return E_POINTER;
  return Owner(m_pOwner)->LoadFromStream(pStm);
}

HRESULT COleControl::XPersistStreamInit::Save(IStream* pStm, BOOL fClearDirty) {
  if (pStm == nullptr) return E_POINTER;
  COleControl* pThis = Owner(m_pOwner);
  HRESULT hr = kp::afx::SavePropsToStream(pStm, [pThis](CPropExchange* pPX) { pThis->DoPropExchange(pPX); });
  if (SUCCEEDED(hr) && fClearDirty) pThis->SetModifiedFlag(FALSE);
  return hr;
}

HRESULT COleControl::XPersistStreamInit::GetSizeMax(ULARGE_INTEGER* pcbSize) {
  if (pcbSize == nullptr) return E_POINTER;
  COleControl* pThis = Owner(m_pOwner);
  pcbSize->QuadPart = kp::afx::PropsStreamSize([pThis](CPropExchange* pPX) { pThis->DoPropExchange(pPX); });
  return S_OK;
}

HRESULT COleControl::XPersistStreamInit::InitNew() {
  Owner(m_pOwner)->InitializeNew();
  return S_OK;
}

// IPersistPropertyBag

HRESULT COleControl::XPersistPropertyBag::GetClassID(CLSID* pClassID) { return Owner(m_pOwner)->GetClassID(pClassID); }

HRESULT COleControl::XPersistPropertyBag::InitNew() {
  Owner(m_pOwner)->InitializeNew();
  return S_OK;
}

HRESULT COleControl::XPersistPropertyBag::Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) {
  if (pPropBag == nullptr) return E_POINTER;
  return Owner(m_pOwner)->LoadFromBag(pPropBag, pErrorLog);
}

HRESULT COleControl::XPersistPropertyBag::Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL) {
  if (pPropBag == nullptr) return E_POINTER;
  COleControl* pThis = Owner(m_pOwner);
  HRESULT hr = kp::afx::SavePropsToBag(pPropBag, [pThis](CPropExchange* pPX) { pThis->DoPropExchange(pPX); });
  if (SUCCEEDED(hr) && fClearDirty) pThis->SetModifiedFlag(FALSE);
  return hr;
}

// IConnectionPointContainer

HRESULT COleControl::XConnPtContainer::EnumConnectionPoints(IEnumConnectionPoints** ppEnum) {
  if (ppEnum != nullptr) *ppEnum = nullptr;
  return E_NOTIMPL;
}

HRESULT COleControl::XConnPtContainer::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) {
  kp::com::ConnectionPoint* points[] = {Owner(m_pOwner)->m_pEventConnPt.get()};
  return kp::com::FindConnectionPointIn(points, riid, ppCP);
}

// ISpecifyPropertyPages

HRESULT COleControl::XSpecifyPropertyPages::GetPages(CAUUID* pPages) {
  if (pPages == nullptr) return E_POINTER;
  *pPages = CAUUID{0, nullptr};
  ULONG count = 0;
  LPCLSID ids = Owner(m_pOwner)->GetPropPageIDs(count);
  if (ids == nullptr || count == 0) return S_OK;
  pPages->pElems = static_cast<GUID*>(CoTaskMemAlloc(count * sizeof(GUID)));
  if (pPages->pElems == nullptr) return E_OUTOFMEMORY;
  std::memcpy(pPages->pElems, ids, count * sizeof(GUID));
  pPages->cElems = count;
  return S_OK;
}

// IProvideClassInfo2

HRESULT COleControl::XProvideClassInfo::GetClassInfo(ITypeInfo** ppTI) {
  if (ppTI == nullptr) return E_POINTER;
  *ppTI = nullptr;
  COleControl* pThis = Owner(m_pOwner);
  CLSID clsid;
  HRESULT hr = pThis->GetClassID(&clsid);
  if (FAILED(hr)) return hr;
  LPTYPELIB library = nullptr;
  hr = pThis->GetTypeLib(0, &library);
  if (FAILED(hr)) return hr;
  if (library == nullptr) return E_UNEXPECTED;
  hr = library->GetTypeInfoOfGuid(clsid, ppTI);
  library->Release();
  return hr;
}

HRESULT COleControl::XProvideClassInfo::GetGUID(DWORD dwGuidKind, GUID* pGUID) {
  if (pGUID == nullptr) return E_POINTER;
  COleControl* pThis = Owner(m_pOwner);
  if (dwGuidKind != GUIDKIND_DEFAULT_SOURCE_DISP_IID || pThis->m_piidEvents == nullptr) {
    *pGUID = GUID_NULL;
    return E_INVALIDARG;
  }
  *pGUID = *pThis->m_piidEvents;
  return S_OK;
}
