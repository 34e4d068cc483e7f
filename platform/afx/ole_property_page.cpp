#include "platform/afx/ole_property_page.h"

#include <cstring>

#include "platform/com/bstr.h"
#include "platform/qt/window_system.h"
#include "platform/resources/resources.h"

IMPLEMENT_DYNAMIC(COlePropertyPage, CDialog)

BEGIN_INTERFACE_MAP(COlePropertyPage, CDialog)
INTERFACE_PART(COlePropertyPage, IID_IPropertyPage, PropertyPage)
END_INTERFACE_MAP()

namespace {
COlePropertyPage* Owner(CCmdTarget* pOwner) { return static_cast<COlePropertyPage*>(pOwner); }

DISPID MemberId(IDispatch* object, LPCTSTR name) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id))) return DISPID_UNKNOWN;
  return id;
}

// A property value of the member types DDP_ functions bind.
VARIANT MemberValue(VARTYPE vt, const void* pvProp) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  if (vt == VT_BOOL)
    v.boolVal = *static_cast<const int*>(pvProp) ? VARIANT_TRUE : VARIANT_FALSE;
  else
    v.lVal = *static_cast<const LONG*>(pvProp);
  return v;
}
}  // namespace

COlePropertyPage::COlePropertyPage(UINT idDlg, UINT idCaption, HINSTANCE hModule)
    : CDialog(idDlg, nullptr, hModule), m_idCaption(idCaption) {}

COlePropertyPage::~COlePropertyPage() {
  ReleaseObjects();
  if (m_pPageSite != nullptr) std::exchange(m_pPageSite, nullptr)->Release();
}

HRESULT COlePropertyPage::GetClassID(LPCLSID) { return E_NOTIMPL; }

void COlePropertyPage::SetModifiedFlag(BOOL bModified) {
  m_bDirty = bModified ? TRUE : FALSE;
  if (m_pPageSite != nullptr) m_pPageSite->OnStatusChange(m_bDirty ? PROPPAGESTATUS_DIRTY : PROPPAGESTATUS_CLEAN);
}

BOOL COlePropertyPage::GetPropertyFromObject(LPCTSTR pszPropName, VARTYPE vt, void* pvProp) {
  if (m_objects.empty() || pszPropName == nullptr) return FALSE;
  IDispatch* object = m_objects.front();
  DISPID id = MemberId(object, pszPropName);
  if (id == DISPID_UNKNOWN) return FALSE;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT value;
  VariantInit(&value);
  if (FAILED(object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr))) return FALSE;
  HRESULT hr = VariantChangeType(&value, &value, 0, vt);
  if (SUCCEEDED(hr)) {
    if (vt == VT_BOOL)
      *static_cast<int*>(pvProp) = value.boolVal != VARIANT_FALSE ? TRUE : FALSE;
    else
      *static_cast<LONG*>(pvProp) = value.lVal;
  }
  VariantClear(&value);
  return SUCCEEDED(hr);
}

void COlePropertyPage::QueuePropertyPut(LPCTSTR pszPropName, VARTYPE vt, const void* pvProp) {
  if (pszPropName != nullptr) m_pendingPuts.push_back(PendingPut{pszPropName, vt, pvProp});
}

BOOL COlePropertyPage::WriteQueuedProperties() {
  std::vector<PendingPut> puts;
  puts.swap(m_pendingPuts);
  BOOL ok = TRUE;
  for (const PendingPut& put : puts) {
    for (IDispatch* object : m_objects) {
      DISPID id = MemberId(object, put.name.c_str());
      VARIANT value = MemberValue(put.vt, put.pvProp);
      DISPID named = DISPID_PROPERTYPUT;
      DISPPARAMS params{&value, &named, 1, 1};
      if (id == DISPID_UNKNOWN ||
          FAILED(object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr)))
        ok = FALSE;
    }
  }
  return ok;
}

BOOL COlePropertyPage::OnCommand(WPARAM wParam, LPARAM lParam) {
  // Notifications from the page's own controls (not menus) mean the user
  // changed something.
  const UINT code = HIWORD(wParam);
  if (lParam != 0 && (code == BN_CLICKED || code == EN_CHANGE || code == CBN_SELCHANGE)) SetModifiedFlag(TRUE);
  return CDialog::OnCommand(wParam, lParam);
}

void COlePropertyPage::OnFinalRelease() {
  if (m_hWnd != nullptr) DestroyWindow();
  delete this;
}

void COlePropertyPage::ReleaseObjects() {
  for (IDispatch* object : m_objects) object->Release();
  m_objects.clear();
}

// IPropertyPage

HRESULT COlePropertyPage::XPropertyPage::SetPageSite(IPropertyPageSite* pPageSite) {
  COlePropertyPage* pThis = Owner(m_pOwner);
  if (pPageSite != nullptr) pPageSite->AddRef();
  if (pThis->m_pPageSite != nullptr) pThis->m_pPageSite->Release();
  pThis->m_pPageSite = pPageSite;
  return S_OK;
}

HRESULT COlePropertyPage::XPropertyPage::Activate(HWND hWndParent, LPCRECT pRect, BOOL) {
  COlePropertyPage* pThis = Owner(m_pOwner);
  if (pThis->m_hWnd != nullptr) return E_UNEXPECTED;
  CWnd* parent = CWnd::FromHandle(hWndParent);
  if (parent == nullptr) return E_INVALIDARG;
  // The window's initialisation reads the properties into the controls;
  // that is no change of the user's.
  if (!pThis->Create(pThis->m_nIDTemplate, parent)) return E_FAIL;
  pThis->m_bDirty = FALSE;
  if (pRect != nullptr) pThis->MoveWindow(pRect);
  return S_OK;
}

HRESULT COlePropertyPage::XPropertyPage::Deactivate() {
  COlePropertyPage* pThis = Owner(m_pOwner);
  if (pThis->m_hWnd != nullptr) pThis->DestroyWindow();
  return S_OK;
}

HRESULT COlePropertyPage::XPropertyPage::GetPageInfo(PROPPAGEINFO* pPageInfo) {
  if (pPageInfo == nullptr) return E_POINTER;
  COlePropertyPage* pThis = Owner(m_pOwner);
  *pPageInfo = PROPPAGEINFO{sizeof(PROPPAGEINFO), nullptr, SIZE{0, 0}, nullptr, nullptr, 0};
  std::string title = kp::resources::LoadStringResource(pThis->m_hModule, pThis->m_idCaption).str();
  pPageInfo->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc(title.size() + 1));
  if (pPageInfo->pszTitle == nullptr) return E_OUTOFMEMORY;
  std::memcpy(pPageInfo->pszTitle, title.c_str(), title.size() + 1);
  // The template's size in the pixels of its font.
  if (const kp::resources::DialogTemplate* t =
          kp::resources::FindDialogTemplate(pThis->m_hModule, pThis->m_nIDTemplate)) {
    SIZE base = kp::qt::GetDialogBaseUnits(t->fontName != nullptr ? t->fontName : "", t->pointSize);
    RECT pixels = kp::afx::MapDialogUnits(RECT{0, 0, t->cx, t->cy}, base);
    pPageInfo->size = SIZE{pixels.right, pixels.bottom};
  }
  return S_OK;
}

HRESULT COlePropertyPage::XPropertyPage::SetObjects(ULONG cObjects, IUnknown** ppUnk) {
  COlePropertyPage* pThis = Owner(m_pOwner);
  if (cObjects != 0 && ppUnk == nullptr) return E_POINTER;
  std::vector<LPDISPATCH> objects;
  for (ULONG i = 0; i < cObjects; ++i) {
    LPDISPATCH dispatch = nullptr;
    if (ppUnk[i] == nullptr || FAILED(ppUnk[i]->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
      for (LPDISPATCH d : objects) d->Release();
      return E_NOINTERFACE;
    }
    objects.push_back(dispatch);
  }
  pThis->ReleaseObjects();
  pThis->m_objects = std::move(objects);
  return S_OK;
}

HRESULT COlePropertyPage::XPropertyPage::Show(UINT nCmdShow) {
  COlePropertyPage* pThis = Owner(m_pOwner);
  if (pThis->m_hWnd == nullptr) return E_UNEXPECTED;
  pThis->ShowWindow(static_cast<int>(nCmdShow));
  return S_OK;
}

HRESULT COlePropertyPage::XPropertyPage::Move(LPCRECT pRect) {
  COlePropertyPage* pThis = Owner(m_pOwner);
  if (pRect == nullptr) return E_POINTER;
  if (pThis->m_hWnd == nullptr) return E_UNEXPECTED;
  pThis->MoveWindow(pRect);
  return S_OK;
}

HRESULT COlePropertyPage::XPropertyPage::IsPageDirty() { return Owner(m_pOwner)->m_bDirty ? S_OK : S_FALSE; }

HRESULT COlePropertyPage::XPropertyPage::Apply() {
  COlePropertyPage* pThis = Owner(m_pOwner);
  if (!pThis->m_bDirty) return S_OK;
  if (pThis->m_hWnd == nullptr) return E_UNEXPECTED;
  // Reading the controls queues the properties; post-processing writes them.
  pThis->m_pendingPuts.clear();
  if (!pThis->UpdateData(TRUE)) return E_FAIL;
  pThis->SetModifiedFlag(FALSE);
  return S_OK;
}

// Property data exchange

void DDP_Check(CDataExchange* pDX, int, int& member, LPCTSTR pszPropName) {
  auto* page = dynamic_cast<COlePropertyPage*>(pDX->m_pDlgWnd);
  if (page == nullptr) return;
  if (pDX->m_bSaveAndValidate)
    page->QueuePropertyPut(pszPropName, VT_BOOL, &member);
  else
    page->GetPropertyFromObject(pszPropName, VT_BOOL, &member);
}

void DDP_PostProcessing(CDataExchange* pDX) {
  auto* page = dynamic_cast<COlePropertyPage*>(pDX->m_pDlgWnd);
  if (page == nullptr || !pDX->m_bSaveAndValidate) return;
  // A property that cannot be written fails the exchange, as a value that
  // fails validation does.
  if (!page->WriteQueuedProperties()) pDX->Fail();
}
