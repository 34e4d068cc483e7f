#include "platform/afx/ole_control_site.h"

#include <map>
#include <utility>

#include "platform/afx/dialog.h"
#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime.h"
#include "platform/com/memory_stream.h"
#include "platform/com/persist.h"
#include "platform/resources/dialog_init.h"

namespace {
// The sites of the hosted controls' windows; each entry holds a reference.
std::map<HWND, COleControlSite*>& Sites() {
  static std::map<HWND, COleControlSite*> sites;
  return sites;
}

COleControlSite* Owner(CCmdTarget* pOwner) { return static_cast<COleControlSite*>(pOwner); }
}  // namespace

BEGIN_INTERFACE_MAP(COleControlSite, CCmdTarget)
INTERFACE_PART(COleControlSite, IID_IOleClientSite, OleClientSite)
INTERFACE_PART(COleControlSite, IID_IOleInPlaceSite, OleInPlaceSite)
INTERFACE_PART(COleControlSite, IID_IOleWindow, OleInPlaceSite)
INTERFACE_PART(COleControlSite, IID_IOleControlSite, OleControlSite)
END_INTERFACE_MAP()

COleControlSite::COleControlSite(CWnd* pWndContainer) : m_pWndContainer(pWndContainer) {}

COleControlSite::~COleControlSite() = default;

COleControlSite* COleControlSite::FromWindow(HWND hWnd) {
  auto it = Sites().find(hWnd);
  return it == Sites().end() ? nullptr : it->second;
}

LPUNKNOWN COleControlSite::GetInterfaceHook(const void* iid) {
  // The control connects its events by the id of its own event interface.
  if (m_iidEvents != GUID_NULL && *static_cast<const IID*>(iid) == m_iidEvents) return &m_xEventSink;
  return nullptr;
}

HRESULT COleControlSite::CreateControl(REFCLSID clsid, DWORD dwStyle, const RECT& rect, UINT nID,
                                       const std::vector<BYTE>* pStream) {
  if (m_pObject != nullptr || m_pWndContainer == nullptr || m_pWndContainer->m_hWnd == nullptr) return E_UNEXPECTED;
  m_nID = nID;
  m_dwStyle = dwStyle;
  m_rect = rect;
  HRESULT hr =
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, reinterpret_cast<void**>(&m_pObject));
  if (FAILED(hr)) {
    m_pObject = nullptr;
    return hr;
  }
  // The site is kept alive by the steps below even when one fails.
  InternalAddRef();
  auto fail = [this](HRESULT result) {
    Teardown();
    InternalRelease();
    return result;
  };

  DWORD misc = 0;
  m_pObject->GetMiscStatus(DVASPECT_CONTENT, &misc);
  const bool siteFirst = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
  if (siteFirst) m_pObject->SetClientSite(&m_xOleClientSite);

  kp::com::ComPtr<IPersistStreamInit> persist;
  hr = m_pObject->QueryInterface(IID_IPersistStreamInit, persist.put_void());
  if (FAILED(hr)) return fail(hr);
  if (pStream != nullptr) {
    kp::com::ComPtr<IStream> stream;
    hr = kp::com::CreateStreamOnBytes(*pStream, stream.put());
    if (SUCCEEDED(hr)) hr = persist->Load(stream.get());
  } else {
    hr = persist->InitNew();
  }
  if (FAILED(hr)) return fail(hr);
  if (!siteFirst) m_pObject->SetClientSite(&m_xOleClientSite);

  hr = m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &m_xOleClientSite, 0, m_pWndContainer->m_hWnd, &m_rect);
  if (FAILED(hr)) return fail(hr);
  kp::com::ComPtr<IOleInPlaceObject> inPlace;
  hr = m_pObject->QueryInterface(IID_IOleInPlaceObject, inPlace.put_void());
  if (SUCCEEDED(hr)) hr = inPlace->GetWindow(&m_hWnd);
  if (FAILED(hr) || m_hWnd == nullptr) return fail(FAILED(hr) ? hr : E_FAIL);
  m_pObject->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_pDispatch));

  // Registered, the site holds itself for as long as the window lives.
  Sites()[m_hWnd] = this;
  m_bRegistered = true;
  ConnectEvents();
  return S_OK;
}

void COleControlSite::ConnectEvents() {
  kp::com::ComPtr<IProvideClassInfo2> classInfo;
  if (FAILED(m_pObject->QueryInterface(IID_IProvideClassInfo2, classInfo.put_void())) ||
      FAILED(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &m_iidEvents)))
    return;
  kp::com::ComPtr<IConnectionPointContainer> container;
  if (FAILED(m_pObject->QueryInterface(IID_IConnectionPointContainer, container.put_void()))) return;
  if (FAILED(container->FindConnectionPoint(m_iidEvents, &m_pEventConnPt))) {
    m_pEventConnPt = nullptr;
    return;
  }
  if (FAILED(m_pEventConnPt->Advise(&m_xEventSink, &m_dwEventCookie))) {
    std::exchange(m_pEventConnPt, nullptr)->Release();
    m_dwEventCookie = 0;
  }
}

void COleControlSite::Teardown() {
  if (m_bTornDown) return;
  m_bTornDown = true;
  InternalAddRef();
  if (m_pEventConnPt != nullptr) {
    m_pEventConnPt->Unadvise(m_dwEventCookie);
    std::exchange(m_pEventConnPt, nullptr)->Release();
  }
  if (m_pDispatch != nullptr) std::exchange(m_pDispatch, nullptr)->Release();
  if (IOleObject* object = std::exchange(m_pObject, nullptr)) {
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
    object->Release();
  }
  if (m_bRegistered) {
    m_bRegistered = false;
    Sites().erase(m_hWnd);
    InternalRelease();
  }
  m_hWnd = nullptr;
  InternalRelease();
}

// IOleInPlaceSite

HRESULT COleControlSite::XOleInPlaceSite::GetWindow(HWND* phwnd) {
  if (phwnd == nullptr) return E_POINTER;
  CWnd* container = Owner(m_pOwner)->m_pWndContainer;
  *phwnd = container != nullptr ? container->m_hWnd : nullptr;
  return *phwnd != nullptr ? S_OK : E_FAIL;
}

HRESULT COleControlSite::XOleInPlaceSite::GetWindowContext(LPRECT lprcPosRect, UINT* pnID, DWORD* pdwStyle) {
  COleControlSite* pThis = Owner(m_pOwner);
  if (lprcPosRect != nullptr) *lprcPosRect = pThis->m_rect;
  if (pnID != nullptr) *pnID = pThis->m_nID;
  if (pdwStyle != nullptr) *pdwStyle = pThis->m_dwStyle;
  return S_OK;
}

HRESULT COleControlSite::XOleInPlaceSite::OnInPlaceDeactivate() {
  // The control's window is gone: the site lets go of the control.
  Owner(m_pOwner)->Teardown();
  return S_OK;
}

HRESULT COleControlSite::XOleInPlaceSite::OnPosRectChange(LPCRECT lprcPosRect) {
  if (lprcPosRect == nullptr) return E_POINTER;
  Owner(m_pOwner)->m_rect = *lprcPosRect;
  return S_OK;
}

// The event sink

HRESULT COleControlSite::XEventSink::GetTypeInfoCount(UINT* pctinfo) {
  if (pctinfo == nullptr) return E_POINTER;
  *pctinfo = 0;
  return S_OK;
}

HRESULT COleControlSite::XEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
  if (ppTInfo != nullptr) *ppTInfo = nullptr;
  return E_NOTIMPL;
}

HRESULT COleControlSite::XEventSink::Invoke(DISPID dispIdMember, REFIID, LCID, WORD, DISPPARAMS* pDispParams,
                                            VARIANT* pVarResult, EXCEPINFO*, UINT*) {
  COleControlSite* pThis = Owner(m_pOwner);
  if (pVarResult != nullptr) VariantInit(pVarResult);
  if (pThis->m_pWndContainer == nullptr || pThis->m_bTornDown) return S_OK;
  // An event the container does not handle is no failure of the control's.
  HRESULT hr = S_OK;
  pThis->m_pWndContainer->OnEvent(pThis->m_nID, dispIdMember, pDispParams, &hr);
  return hr;
}

// The container

namespace {
HWND CreateHostedControl(const kp::afx::HostedControlRequest& request) {
  if (request.item == nullptr || request.item->clsid == nullptr || request.dialog == nullptr) return nullptr;
  std::vector<BYTE> stream;
  const std::vector<BYTE>* pStream = nullptr;
  if (!request.persistedData.empty()) {
    kp::resources::ControlCreationRecord record;
    if (kp::resources::ParseControlCreationRecord(request.persistedData, record) !=
        kp::resources::DialogInitError::None)
      return nullptr;
    stream.assign(record.stream.begin(), record.stream.end());
    pStream = &stream;
  }
  auto* site = new COleControlSite(request.dialog);
  HWND hWnd = nullptr;
  if (SUCCEEDED(site->CreateControl(*request.item->clsid, request.item->style, request.rect,
                                    static_cast<UINT>(request.item->id), pStream)))
    hWnd = site->GetWindow();
  // A site that made its control holds itself; one that failed goes.
  site->InternalRelease();
  return hWnd;
}
}  // namespace

void AfxEnableControlContainer() { kp::afx::SetHostedControlCreator(&CreateHostedControl); }
