// The IDispatch of an automation-enabled CCmdTarget, served from its
// dispatch map. This file is the one walker of dispatch maps.

#include "platform/afx/dispatch_part.h"

#include <new>

#include "platform/afx/cmd_target.h"
#include "platform/afx/ole_dispatch_exception.h"
#include "platform/base/ascii.h"

namespace {

// Calls `visit(entry, dispid)` for every entry, most derived map first,
// until it returns true; returns that entry or null. An entry without an id
// of its own gets its position in its map (from 1) and the map's depth
// below the most derived one (in the high word).
template <typename Visit>
const AFX_DISPMAP_ENTRY* WalkDispatchMap(const AFX_DISPMAP* pMap, Visit&& visit) {
  for (WORD depth = 0; pMap != nullptr; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr, ++depth) {
    for (std::size_t i = 0; i < pMap->nEntries; ++i) {
      const AFX_DISPMAP_ENTRY& e = pMap->lpEntries[i];
      DISPID id = e.lDispID != DISPID_UNKNOWN ? e.lDispID : MAKELONG(static_cast<WORD>(i + 1), depth);
      if (visit(e, id)) return &e;
    }
  }
  return nullptr;
}

const AFX_DISPMAP_ENTRY* FindById(const AFX_DISPMAP* pMap, DISPID dispid) {
  return WalkDispatchMap(pMap, [&](const AFX_DISPMAP_ENTRY&, DISPID id) { return id == dispid; });
}

// Default-value entries carry the name of the member they stand for; they
// are never found by that name themselves.
const AFX_DISPMAP_ENTRY* FindByName(const AFX_DISPMAP* pMap, LPCTSTR name, DISPID* pDispid) {
  return WalkDispatchMap(pMap, [&](const AFX_DISPMAP_ENTRY& e, DISPID id) {
    if (e.kind == AfxDispKind::DefaultValue || e.lpszName == nullptr) return false;
    if (!kp::base::EqualNoCase(e.lpszName, name)) return false;
    if (pDispid != nullptr) *pDispid = id;
    return true;
  });
}

// The entry a dispid names; dispid 0 resolves to the member it aliases.
const AFX_DISPMAP_ENTRY* ResolveMember(const AFX_DISPMAP* pMap, DISPID dispid) {
  const AFX_DISPMAP_ENTRY* e = FindById(pMap, dispid);
  if (e == nullptr || e->kind != AfxDispKind::DefaultValue) return e;
  const AFX_DISPMAP_ENTRY* target =
      e->lpszName != nullptr ? FindByName(pMap, e->lpszName, nullptr) : FindById(pMap, e->lAliasDispID);
  return target != nullptr && target->kind != AfxDispKind::DefaultValue ? target : nullptr;
}

bool IsPropertyPutName(const DISPPARAMS& p) {
  return p.cNamedArgs == 1 && p.rgdispidNamedArgs != nullptr && p.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
}

// Which access the caller asks of the entry, or a failure: methods are
// called, properties read or written.
HRESULT SelectAccess(const AFX_DISPMAP_ENTRY& e, WORD wFlags, const DISPPARAMS& p, WORD* pAccess) {
  if (e.kind == AfxDispKind::Method) {
    if (!(wFlags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    *pAccess = DISPATCH_METHOD;
    return S_OK;
  }
  if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    if (p.cNamedArgs != 0 && !IsPropertyPutName(p)) return DISP_E_NONAMEDARGS;
    if (p.cArgs != 1) return DISP_E_BADPARAMCOUNT;
    *pAccess = DISPATCH_PROPERTYPUT;
    return S_OK;
  }
  if (wFlags & DISPATCH_PROPERTYGET) {
    if (p.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    if (p.cArgs != 0) return DISP_E_BADPARAMCOUNT;
    *pAccess = DISPATCH_PROPERTYGET;
    return S_OK;
  }
  return DISP_E_MEMBERNOTFOUND;
}

void FillException(EXCEPINFO* pExcepInfo, WORD wCode, SCODE scode, const CString& source, const CString& description,
                   const CString& helpFile, DWORD helpContext) {
  if (pExcepInfo == nullptr) return;
  *pExcepInfo = EXCEPINFO{};
  pExcepInfo->wCode = wCode;
  pExcepInfo->scode = wCode != 0 ? 0 : scode;
  pExcepInfo->bstrSource = source.IsEmpty() ? nullptr : SysAllocString(source);
  pExcepInfo->bstrDescription = description.IsEmpty() ? nullptr : SysAllocString(description);
  pExcepInfo->bstrHelpFile = helpFile.IsEmpty() ? nullptr : SysAllocString(helpFile);
  pExcepInfo->dwHelpContext = helpContext;
}

}  // namespace

CDispatchPart::~CDispatchPart() = default;

HRESULT CDispatchPart::QueryInterface(REFIID riid, void** ppvObject) {
  return m_pThis->ExternalQueryInterface(&riid, ppvObject);
}
ULONG CDispatchPart::AddRef() { return m_pThis->ExternalAddRef(); }
ULONG CDispatchPart::Release() { return m_pThis->ExternalRelease(); }

HRESULT CDispatchPart::GetTypeInfoCount(UINT* pctinfo) {
  if (pctinfo == nullptr) return E_POINTER;
  *pctinfo = m_pThis->GetTypeInfoCount() != 0 ? 1 : 0;
  return S_OK;
}

HRESULT CDispatchPart::GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) {
  if (ppTInfo == nullptr) return E_POINTER;
  *ppTInfo = nullptr;
  if (iTInfo != 0) return DISP_E_BADINDEX;
  IID iid;
  if (m_pThis->GetTypeInfoCount() == 0 || !m_pThis->GetDispatchIID(&iid)) return E_NOTIMPL;
  LPTYPELIB pTypeLib = nullptr;
  HRESULT hr = m_pThis->GetTypeLib(lcid, &pTypeLib);
  if (FAILED(hr)) return hr;
  if (pTypeLib == nullptr) return E_UNEXPECTED;
  hr = pTypeLib->GetTypeInfoOfGuid(iid, ppTInfo);
  pTypeLib->Release();
  return hr;
}

HRESULT CDispatchPart::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (rgszNames == nullptr || rgDispId == nullptr || cNames == 0) return E_INVALIDARG;
  for (UINT i = 0; i < cNames; ++i) rgDispId[i] = DISPID_UNKNOWN;
  if (rgszNames[0] == nullptr) return DISP_E_UNKNOWNNAME;
  bool found = FindByName(m_pThis->GetDispatchMap(), rgszNames[0], &rgDispId[0]) != nullptr;
  if (found && cNames == 1) return S_OK;

  // The map knows no parameter names and no aliases; the type library may.
  ITypeInfo* pTypeInfo = nullptr;
  if (SUCCEEDED(GetTypeInfo(0, lcid, &pTypeInfo)) && pTypeInfo != nullptr) {
    DISPID first = rgDispId[0];
    HRESULT hr = pTypeInfo->GetIDsOfNames(rgszNames, cNames, rgDispId);
    pTypeInfo->Release();
    if (SUCCEEDED(hr)) return hr;
    if (found) rgDispId[0] = first;
  }
  return DISP_E_UNKNOWNNAME;
}

HRESULT CDispatchPart::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                              VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  static const DISPPARAMS kNoArgs = {nullptr, nullptr, 0, 0};
  DISPPARAMS* params = pDispParams != nullptr ? pDispParams : const_cast<DISPPARAMS*>(&kNoArgs);
  if (params->cArgs != 0 && params->rgvarg == nullptr) return E_INVALIDARG;

  const AFX_DISPMAP_ENTRY* entry = ResolveMember(m_pThis->GetDispatchMap(), dispIdMember);
  if (entry == nullptr || entry->pfn == nullptr) return DISP_E_MEMBERNOTFOUND;
  WORD access = 0;
  HRESULT hr = SelectAccess(*entry, wFlags, *params, &access);
  if (FAILED(hr)) return hr;

  // The object stays alive for the whole call, even when a handler makes
  // its container release it.
  m_pThis->InternalAddRef();
  const AFX_DISPCALL call = {entry, access, params, pVarResult, puArgErr};
  try {
    hr = entry->pfn(m_pThis, call);
  } catch (const COleDispatchException& e) {
    FillException(pExcepInfo, e.m_wCode, e.m_scError, e.m_strSource, e.m_strDescription, e.m_strHelpFile,
                  e.m_dwHelpContext);
    hr = DISP_E_EXCEPTION;
  } catch (const CException& e) {
    FillException(pExcepInfo, 0, E_FAIL, CString(), e.ErrorMessage(), CString(), 0);
    hr = DISP_E_EXCEPTION;
  } catch (const std::bad_alloc&) {
    hr = E_OUTOFMEMORY;
  } catch (const std::exception& e) {
    FillException(pExcepInfo, 0, E_FAIL, CString(), CString(e.what()), CString(), 0);
    hr = DISP_E_EXCEPTION;
  }
  m_pThis->InternalRelease();
  return hr;
}
