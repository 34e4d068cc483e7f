#include "platform/afx/ole_control.h"

#include "platform/afx/event_firing.h"
#include "platform/afx/prop_persistence.h"
#include "platform/afx/property_frame.h"
#include "platform/afx/window_dc.h"
#include "platform/qt/window_system.h"
#include "platform/resources/resources.h"

IMPLEMENT_DYNAMIC(COleControl, CWnd)

BEGIN_MESSAGE_MAP(COleControl, CWnd)
ON_WM_PAINT()
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

BEGIN_INTERFACE_MAP(COleControl, CWnd)
INTERFACE_PART(COleControl, IID_IOleObject, OleObject)
INTERFACE_PART(COleControl, IID_IOleInPlaceObject, OleInPlaceObject)
INTERFACE_PART(COleControl, IID_IOleWindow, OleInPlaceObject)
INTERFACE_PART(COleControl, IID_IPersist, PersistStreamInit)
INTERFACE_PART(COleControl, IID_IPersistStreamInit, PersistStreamInit)
INTERFACE_PART(COleControl, IID_IPersistPropertyBag, PersistPropertyBag)
INTERFACE_PART(COleControl, IID_IConnectionPointContainer, ConnPtContainer)
INTERFACE_PART(COleControl, IID_ISpecifyPropertyPages, SpecifyPropertyPages)
INTERFACE_PART(COleControl, IID_IProvideClassInfo, ProvideClassInfo)
INTERFACE_PART(COleControl, IID_IProvideClassInfo2, ProvideClassInfo)
END_INTERFACE_MAP()

const AFX_EVENTMAP* COleControl::GetThisEventMap() {
  static const AFX_EVENTMAP_ENTRY entries[] = {{nullptr, DISPID_UNKNOWN, nullptr}};
  static const AFX_EVENTMAP map = {nullptr, entries, 0};
  return &map;
}
const AFX_EVENTMAP* COleControl::GetEventMap() const { return GetThisEventMap(); }

COleControl::COleControl() { EnableAutomation(); }

COleControl::~COleControl() {
  // The container is no longer told about anything from here on.
  ReleaseClientSite();
  if (m_hWnd != nullptr) DestroyWindow();
  if (m_pEventConnPt) m_pEventConnPt->DisconnectAll();
}

void COleControl::InitializeIIDs(const IID* piidPrimary, const IID* piidEvents) {
  m_piidPrimary = piidPrimary;
  m_piidEvents = piidEvents;
  m_pEventConnPt.reset();
  if (piidEvents != nullptr)
    m_pEventConnPt = std::make_unique<kp::com::ConnectionPoint>(&m_xConnPtContainer, *piidEvents);
}

LPUNKNOWN COleControl::GetInterfaceHook(const void* iid) {
  if (m_piidPrimary != nullptr && *static_cast<const IID*>(iid) == *m_piidPrimary) return GetIDispatch(FALSE);
  return nullptr;
}

BOOL COleControl::GetDispatchIID(IID* pIID) {
  if (m_piidPrimary == nullptr || pIID == nullptr) return FALSE;
  *pIID = *m_piidPrimary;
  return TRUE;
}

void COleControl::FireEvent(DISPID dispid, const BYTE* pbParams, ...) {
  if (!m_pEventConnPt) return;
  // The control lives through its event even when a handler lets go of it.
  InternalAddRef();
  va_list args;
  va_start(args, pbParams);
  AfxFireEventV(*m_pEventConnPt, dispid, pbParams, args);
  va_end(args);
  InternalRelease();
}

void COleControl::DoPropExchange(CPropExchange* pPX) {
  ExchangeExtent(pPX);
  ExchangeStockProps(pPX);
}

BOOL COleControl::ExchangeVersion(CPropExchange* pPX, DWORD dwVersionDefault, BOOL bConvert) {
  return pPX->ExchangeVersion(m_dwVersionLoaded, dwVersionDefault, bConvert);
}

BOOL COleControl::ExchangeExtent(CPropExchange* pPX) {
  // A reset keeps the extent the control has.
  BOOL ok = PX_Long(pPX, "_ExtentX", m_cxExtent, m_cxExtent);
  return PX_Long(pPX, "_ExtentY", m_cyExtent, m_cyExtent) && ok;
}

void COleControl::ExchangeStockProps(CPropExchange* pPX) {
  // This framework persists no stock properties: the mask is always 0.
  LONG stockProps = 0;
  PX_Long(pPX, "_StockProps", stockProps, 0);
}

void COleControl::OnResetState() {
  kp::afx::ResetProps([this](CPropExchange* pPX) { DoPropExchange(pPX); });
  InvalidateControl();
}

void COleControl::OnDraw(CDC*, const CRect&, const CRect&) {}

void COleControl::InvalidateControl(LPCRECT lpRect, BOOL bErase) {
  if (m_hWnd != nullptr) InvalidateRect(lpRect, bErase);
}

UINT COleControl::GetUserTypeNameID() { return 0; }
DWORD COleControl::GetMiscStatus() { return 0; }
LPCLSID COleControl::GetPropPageIDs(ULONG& cPropPages) {
  cPropPages = 0;
  return nullptr;
}
CTypeLibCache* COleControl::GetTypeLibCache() { return nullptr; }

void COleControl::GetControlExtent(LONG* pcx, LONG* pcy) const {
  if (pcx != nullptr) *pcx = m_cxExtent;
  if (pcy != nullptr) *pcy = m_cyExtent;
}

void COleControl::SetControlExtent(LONG cx, LONG cy) {
  if (cx == m_cxExtent && cy == m_cyExtent) return;
  m_cxExtent = cx;
  m_cyExtent = cy;
  SetModifiedFlag();
}

HINSTANCE COleControl::GetControlModule() const { return ModuleFromAddress(GetRuntimeClass()); }

BOOL COleControl::OnProperties(LPMSG, HWND hWndParent, LPCRECT) {
  // The container may have a frame of its own for its controls.
  if (m_pControlSite != nullptr && SUCCEEDED(m_pControlSite->ShowPropertyFrame())) return TRUE;
  ULONG cPages = 0;
  LPCLSID pages = GetPropPageIDs(cPages);
  if (pages == nullptr || cPages == 0) return FALSE;
  HWND owner = hWndParent;
  if (owner == nullptr && m_pInPlaceSite != nullptr) m_pInPlaceSite->GetWindow(&owner);
  if (owner == nullptr && m_hWnd != nullptr) owner = kp::qt::GetParent(m_hWnd);
  std::optional<std::string> name = kp::resources::FindStringResource(GetControlModule(), GetUserTypeNameID());
  std::string caption = name ? *name : GetRuntimeClass()->m_lpszClassName;
  LPUNKNOWN object = GetIDispatch(FALSE);
  // The control stays alive while its pages edit it.
  InternalAddRef();
  HRESULT hr = OleCreatePropertyFrame(owner, 0, 0, caption.c_str(), 1, &object, cPages, pages, 0, 0, nullptr);
  InternalRelease();
  return SUCCEEDED(hr);
}

std::vector<COleControl::VerbEntry> COleControl::CustomVerbs() const {
  std::vector<VerbEntry> verbs;
  AfxFindMapEntry(GetMessageMap(), [&](const AFX_MSGMAP_ENTRY& e) {
    if (e.nMessage == AFX_OLEVERB_MESSAGE && e.nCode == AFX_OLEVERB_CUSTOM)
      verbs.push_back(VerbEntry{static_cast<LONG>(verbs.size()), e.nID, &e});
    return false;
  });
  return verbs;
}

HRESULT COleControl::RunVerbEntry(const AFX_MSGMAP_ENTRY* entry, LPMSG lpMsg, HWND hWndParent, LPCRECT lpRect) {
  AFX_OLEVERB_CALL call{lpMsg, hWndParent, lpRect};
  return entry->pfn(this, 0, 0, &call) ? S_OK : E_FAIL;
}

HRESULT COleControl::OnDoVerb(LONG iVerb, LPMSG lpMsg, HWND hWndParent, LPCRECT lpRect) {
  // The control's own verbs come first: numbered ones by position, standard
  // ones by their (negative) number.
  if (iVerb >= 0) {
    std::vector<VerbEntry> verbs = CustomVerbs();
    if (static_cast<std::size_t>(iVerb) < verbs.size())
      return RunVerbEntry(verbs[iVerb].entry, lpMsg, hWndParent, lpRect);
  } else {
    const AFX_MSGMAP_ENTRY* entry = AfxFindMapEntry(GetMessageMap(), [&](const AFX_MSGMAP_ENTRY& e) {
      return e.nMessage == AFX_OLEVERB_MESSAGE && e.nCode == AFX_OLEVERB_STANDARD && static_cast<LONG>(e.nID) == iVerb;
    });
    if (entry != nullptr) return RunVerbEntry(entry, lpMsg, hWndParent, lpRect);
  }

  struct StandardVerb {
    LONG verb;
    HRESULT (COleControl::*run)(LPMSG, HWND, LPCRECT);
  };
  static const StandardVerb kStandardVerbs[] = {
      {OLEIVERB_SHOW, &COleControl::VerbActivate},
      {OLEIVERB_OPEN, &COleControl::VerbActivate},
      {OLEIVERB_INPLACEACTIVATE, &COleControl::VerbActivate},
      {OLEIVERB_UIACTIVATE, &COleControl::VerbActivate},
      {OLEIVERB_HIDE, &COleControl::VerbHide},
      {OLEIVERB_PROPERTIES, &COleControl::VerbProperties},
  };
  for (const StandardVerb& v : kStandardVerbs)
    if (v.verb == iVerb) return (this->*v.run)(lpMsg, hWndParent, lpRect);
  if (iVerb < 0) return E_NOTIMPL;
  // A numbered verb the control does not have: it is shown, as for its
  // primary verb, and the container is told the verb was unknown.
  HRESULT hr = VerbActivate(lpMsg, hWndParent, lpRect);
  return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
}

HRESULT COleControl::VerbActivate(LPMSG, HWND hWndParent, LPCRECT lpRect) {
  if (m_hWnd != nullptr) {
    if (lpRect != nullptr) MoveWindow(lpRect);
    if (!(GetStyle() & WS_VISIBLE)) ShowWindow(SW_SHOW);
    return S_OK;
  }
  // Where the window goes: as the verb says, else as the site says.
  RECT rect = lpRect != nullptr ? *lpRect : RECT{0, 0, 0, 0};
  if (m_pInPlaceSite != nullptr) {
    if (hWndParent == nullptr) m_pInPlaceSite->GetWindow(&hWndParent);
    UINT id = 0;
    DWORD style = 0;
    if (lpRect == nullptr) m_pInPlaceSite->GetWindowContext(&rect, &id, &style);
  }
  return CreateControlWindow(hWndParent, rect) ? S_OK : E_FAIL;
}

HRESULT COleControl::VerbHide(LPMSG, HWND, LPCRECT) {
  if (m_hWnd != nullptr) ShowWindow(SW_HIDE);
  return S_OK;
}

HRESULT COleControl::VerbProperties(LPMSG lpMsg, HWND hWndParent, LPCRECT lpRect) {
  return OnProperties(lpMsg, hWndParent, lpRect) ? S_OK : E_FAIL;
}

BOOL COleControl::CreateControlWindow(HWND hWndParent, const RECT& rcPos) {
  if (m_hWnd != nullptr) {
    MoveWindow(&rcPos);
    return TRUE;
  }
  if (hWndParent == nullptr) return FALSE;
  UINT nID = 0;
  DWORD dwStyle = WS_CHILD | WS_VISIBLE;
  if (m_pInPlaceSite != nullptr) {
    if (m_pInPlaceSite->CanInPlaceActivate() != S_OK) return FALSE;
    RECT siteRect{};
    UINT siteID = 0;
    DWORD siteStyle = 0;
    if (SUCCEEDED(m_pInPlaceSite->GetWindowContext(&siteRect, &siteID, &siteStyle))) {
      nID = siteID;
      dwStyle = siteStyle | WS_CHILD;
    }
  }
  // The control's resources and messages are its own module's.
  m_hModule = GetControlModule();
  CWnd* parent = CWnd::FromHandle(hWndParent);
  if (parent == nullptr || !CWnd::Create(nullptr, nullptr, dwStyle, rcPos, parent, nID)) return FALSE;
  if (m_pInPlaceSite != nullptr) m_pInPlaceSite->OnInPlaceActivate();
  return TRUE;
}

void COleControl::OnPaint() {
  CPaintDC dc(this);
  CRect bounds;
  GetClientRect(&bounds);
  OnDraw(&dc, bounds, CRect(dc.m_ps.rcPaint));
}

void COleControl::OnSetFocus(CWnd* pOldWnd) {
  CWnd::OnSetFocus(pOldWnd);
  if (m_pControlSite != nullptr) m_pControlSite->OnFocus(TRUE);
}

void COleControl::OnKillFocus(CWnd* pNewWnd) {
  CWnd::OnKillFocus(pNewWnd);
  if (m_pControlSite != nullptr) m_pControlSite->OnFocus(FALSE);
}

void COleControl::PostNcDestroy() {
  // The container closing the control knows already.
  if (m_bDeactivating) return;
  // A window that went with its parent (the container's dialog closing) is
  // the container's cue to let go of the control; the control may be gone
  // once the site returns.
  IOleInPlaceSite* site = m_pInPlaceSite;
  if (site == nullptr) return;
  site->AddRef();
  site->OnInPlaceDeactivate();
  site->Release();
}

void COleControl::OnFinalRelease() {
  ReleaseClientSite();
  if (m_hWnd != nullptr) DestroyWindow();
  delete this;
}

void COleControl::ReleaseClientSite() {
  if (m_pInPlaceSite != nullptr) std::exchange(m_pInPlaceSite, nullptr)->Release();
  if (m_pControlSite != nullptr) std::exchange(m_pControlSite, nullptr)->Release();
  if (m_pClientSite != nullptr) std::exchange(m_pClientSite, nullptr)->Release();
}

HRESULT COleControl::LoadFromStream(IStream* pStm) {
  HRESULT hr = kp::afx::LoadPropsFromStream(pStm, [this](CPropExchange* pPX) { DoPropExchange(pPX); });
  m_bInitialized = TRUE;
  SetModifiedFlag(FALSE);
  InvalidateControl();
  return hr;
}

HRESULT COleControl::LoadFromBag(IPropertyBag* pPropBag, IErrorLog* pErrorLog) {
  HRESULT hr = kp::afx::LoadPropsFromBag(pPropBag, pErrorLog, [this](CPropExchange* pPX) { DoPropExchange(pPX); });
  m_bInitialized = TRUE;
  SetModifiedFlag(FALSE);
  InvalidateControl();
  return hr;
}

void COleControl::InitializeNew() {
  OnResetState();
  m_bInitialized = TRUE;
  SetModifiedFlag(FALSE);
}

void COleControl::DeactivateWindow() {
  if (m_hWnd == nullptr) return;
  m_bDeactivating = TRUE;
  DestroyWindow();
  m_bDeactivating = FALSE;
}
