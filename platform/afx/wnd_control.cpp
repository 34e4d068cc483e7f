// CWnd's hosted-control calls: creating a control by class id, and calling
// it through its IDispatch.

#include <cstdarg>
#include <vector>

#include "platform/afx/ole_control_site.h"
#include "platform/afx/ole_dispatch_exception.h"
#include "platform/afx/vts_pack.h"
#include "platform/afx/wnd.h"
#include "platform/file/file.h"

namespace {
// Stores the converted result where pvRet points, as vtRet says.
using ResultStore = void (*)(const VARIANT& v, void* pvRet);
struct ResultKind {
  VARTYPE vt;
  ResultStore store;
};
// clang-format off
constexpr ResultKind kResultKinds[] = {
    {VT_BOOL, [](const VARIANT& v, void* p) { *static_cast<BOOL*>(p) = v.boolVal != VARIANT_FALSE ? TRUE : FALSE; }},
    {VT_I2, [](const VARIANT& v, void* p) { *static_cast<SHORT*>(p) = v.iVal; }},
    {VT_I4, [](const VARIANT& v, void* p) { *static_cast<LONG*>(p) = v.lVal; }},
    {VT_R4, [](const VARIANT& v, void* p) { *static_cast<float*>(p) = v.fltVal; }},
    {VT_R8, [](const VARIANT& v, void* p) { *static_cast<double*>(p) = v.dblVal; }},
    {VT_BSTR,
     [](const VARIANT& v, void* p) {
       *static_cast<CString*>(p) = CString(v.bstrVal != nullptr ? v.bstrVal : "", static_cast<int>(SysStringLen(v.bstrVal)));
     }},
    {VT_DISPATCH,
     [](const VARIANT& v, void* p) {
       // The caller gets a reference of its own.
       if (v.pdispVal != nullptr) v.pdispVal->AddRef();
       *static_cast<LPDISPATCH*>(p) = v.pdispVal;
     }},
    {VT_VARIANT,
     [](const VARIANT& v, void* p) {
       VariantInit(static_cast<VARIANT*>(p));
       VariantCopy(static_cast<VARIANT*>(p), &v);
     }},
};
// clang-format on

const ResultKind* FindResultKind(VARTYPE vt) {
  for (const ResultKind& kind : kResultKinds)
    if (kind.vt == vt) return &kind;
  return nullptr;
}

[[noreturn]] void ThrowDispatchFailure(HRESULT hr, const EXCEPINFO* info = nullptr) {
  COleDispatchException e(nullptr, 0, 0);
  e.m_scError = hr;
  if (info != nullptr) {
    e.m_wCode = info->wCode;
    if (info->scode != 0) e.m_scError = info->scode;
    if (info->bstrSource != nullptr) e.m_strSource = info->bstrSource;
    if (info->bstrDescription != nullptr) e.m_strDescription = info->bstrDescription;
    if (info->bstrHelpFile != nullptr) e.m_strHelpFile = info->bstrHelpFile;
    e.m_dwHelpContext = info->dwHelpContext;
  }
  throw e;
}

// Frees the strings of an EXCEPINFO when it goes.
struct ExcepInfoHolder {
  EXCEPINFO info{};
  ~ExcepInfoHolder() {
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
  }
};

struct VariantHolder {
  VARIANT v;
  VariantHolder() { VariantInit(&v); }
  ~VariantHolder() { VariantClear(&v); }
};
}  // namespace

BOOL CWnd::CreateControl(REFCLSID clsid, LPCTSTR, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                         CFile* pPersist, BOOL bStorage, BSTR) {
  if (m_hWnd != nullptr || pParentWnd == nullptr || pParentWnd->m_hWnd == nullptr) return FALSE;
  // Persisted state comes as a stream; storages are not kept here.
  if (bStorage) return FALSE;
  std::vector<BYTE> stream;
  if (pPersist != nullptr) {
    try {
      ULONGLONG left = pPersist->GetLength() - pPersist->GetPosition();
      stream.resize(static_cast<std::size_t>(left));
      if (!stream.empty() && pPersist->Read(stream.data(), static_cast<UINT>(stream.size())) != stream.size())
        return FALSE;
    } catch (const CException&) {
      return FALSE;
    }
  }
  auto* site = new COleControlSite(pParentWnd);
  HRESULT hr = site->CreateControl(clsid, dwStyle | WS_CHILD, rect, nID, pPersist != nullptr ? &stream : nullptr);
  HWND hWnd = SUCCEEDED(hr) ? site->GetWindow() : nullptr;
  site->InternalRelease();
  if (hWnd == nullptr) return FALSE;
  // This object goes in front of the control's own: its map sees the
  // window's messages first.
  return SubclassWindow(hWnd);
}

LPUNKNOWN CWnd::GetControlUnknown() {
  COleControlSite* site = COleControlSite::FromWindow(m_hWnd);
  return site != nullptr ? site->GetControlUnknown() : nullptr;
}

void CWnd::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo, ...) {
  COleControlSite* site = COleControlSite::FromWindow(m_hWnd);
  IDispatch* dispatch = site != nullptr ? site->GetDispatch() : nullptr;
  if (dispatch == nullptr) ThrowDispatchFailure(E_UNEXPECTED);
  const ResultKind* resultKind = nullptr;
  if (vtRet != VT_EMPTY) {
    resultKind = FindResultKind(vtRet);
    if (resultKind == nullptr || pvRet == nullptr) ThrowDispatchFailure(DISP_E_BADVARTYPE);
  }

  kp::afx::CVarArgPack pack;
  va_list args;
  va_start(args, pbParamInfo);
  HRESULT hr = pack.Pack(pbParamInfo, args);
  va_end(args);
  if (FAILED(hr)) ThrowDispatchFailure(hr);
  DISPPARAMS* params = pack.Params();
  // A property put names its value, as automation requires.
  DISPID putId = DISPID_PROPERTYPUT;
  if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params->rgdispidNamedArgs = &putId;
    params->cNamedArgs = 1;
  }

  // The control may release its container's hold on it from inside the call.
  dispatch->AddRef();
  VariantHolder result;
  ExcepInfoHolder exception;
  UINT argErr = 0;
  hr = dispatch->Invoke(dwDispID, IID_NULL, 0, wFlags, params, resultKind != nullptr ? &result.v : nullptr,
                        &exception.info, &argErr);
  dispatch->Release();
  if (FAILED(hr)) ThrowDispatchFailure(hr, hr == DISP_E_EXCEPTION ? &exception.info : nullptr);
  if (resultKind == nullptr) return;
  if (vtRet != VT_VARIANT && result.v.vt != vtRet) {
    hr = VariantChangeType(&result.v, &result.v, 0, vtRet);
    if (FAILED(hr)) ThrowDispatchFailure(hr);
  }
  resultKind->store(result.v, pvRet);
}
