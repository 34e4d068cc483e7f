// The platform's property frame: a modal dialog made in code around the
// pages of a control, since its size depends on theirs.

#include "platform/afx/property_frame.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/afx/interface_part.h"
#include "platform/afx/wnd.h"
#include "platform/com/com_ptr.h"
#include "platform/com/com_runtime.h"
#include "platform/com/property_page.h"
#include "platform/qt/window_system.h"
#include "platform/user/window_functions.h"

namespace {

// Pixel layout of the frame: a margin around the pages, and a row of three
// buttons at the bottom right.
constexpr LONG kMargin = 8;
constexpr LONG kGap = 6;
constexpr LONG kButtonWidth = 75;
constexpr LONG kButtonHeight = 23;

struct FrameButton {
  UINT id;
  const char* text;
  DWORD style;
};
constexpr FrameButton kButtons[] = {
    {IDOK, "OK", WS_TABSTOP | BS_DEFPUSHBUTTON},
    {IDCANCEL, "Cancel", WS_TABSTOP},
    {ID_APPLY_NOW, "&Apply", WS_TABSTOP | WS_DISABLED},
};

class CPropertyFrame : public CWnd {
 public:
  CPropertyFrame() = default;
  ~CPropertyFrame() override { CloseAll(); }

  HRESULT Run(HWND hwndOwner, LPCOLESTR lpszCaption, ULONG cObjects, LPUNKNOWN* ppUnk, ULONG cPages,
              const CLSID* pPageClsID, LCID lcid);

 protected:
  void OnOK();
  void OnCancel();
  void OnApplyNow();
  DECLARE_MESSAGE_MAP()
  DECLARE_INTERFACE_MAP()

  // What the pages report to: their changes enable Apply.
  class XPageSite : public CInterfacePart<IPropertyPageSite> {
   public:
    using CInterfacePart::CInterfacePart;
    HRESULT OnStatusChange(DWORD) override {
      static_cast<CPropertyFrame*>(m_pOwner)->UpdateApply();
      return S_OK;
    }
    HRESULT GetLocaleID(LCID* pLocaleID) override {
      if (pLocaleID == nullptr) return E_POINTER;
      *pLocaleID = static_cast<CPropertyFrame*>(m_pOwner)->m_lcid;
      return S_OK;
    }
    HRESULT GetPageContainer(IUnknown** ppUnk) override {
      if (ppUnk != nullptr) *ppUnk = nullptr;
      return E_NOTIMPL;
    }
    HRESULT TranslateAccelerator(LPMSG) override { return S_FALSE; }
  } m_xPageSite{this};

  struct Page {
    kp::com::ComPtr<IPropertyPage> page;
    SIZE size;
  };

  void UpdateApply();
  void ApplyAll();
  void CloseAll();

  std::vector<Page> m_pages;
  LCID m_lcid = 0;
};

BEGIN_MESSAGE_MAP(CPropertyFrame, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
ON_COMMAND(ID_APPLY_NOW, OnApplyNow)
END_MESSAGE_MAP()

BEGIN_INTERFACE_MAP(CPropertyFrame, CWnd)
INTERFACE_PART(CPropertyFrame, IID_IPropertyPageSite, PageSite)
END_INTERFACE_MAP()

HRESULT CPropertyFrame::Run(HWND hwndOwner, LPCOLESTR lpszCaption, ULONG cObjects, LPUNKNOWN* ppUnk, ULONG cPages,
                            const CLSID* pPageClsID, LCID lcid) {
  m_lcid = lcid;
  for (ULONG i = 0; i < cPages; ++i) {
    Page page;
    if (FAILED(CoCreateInstance(pPageClsID[i], nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, page.page.put_void())))
      continue;
    PROPPAGEINFO info{};
    info.cb = sizeof info;
    if (FAILED(page.page->SetPageSite(&m_xPageSite)) || FAILED(page.page->SetObjects(cObjects, ppUnk)) ||
        FAILED(page.page->GetPageInfo(&info))) {
      page.page->SetObjects(0, nullptr);
      page.page->SetPageSite(nullptr);
      continue;
    }
    CoTaskMemFree(info.pszTitle);
    CoTaskMemFree(info.pszDocString);
    CoTaskMemFree(info.pszHelpFile);
    page.size = info.size;
    m_pages.push_back(std::move(page));
  }
  if (m_pages.empty()) return E_FAIL;

  // The pages one below the other, the buttons under them.
  LONG pagesWidth = 0;
  LONG pagesHeight = 0;
  for (const Page& page : m_pages) {
    pagesWidth = std::max(pagesWidth, page.size.cx);
    pagesHeight += page.size.cy;
  }
  const LONG buttonsWidth = 3 * kButtonWidth + 2 * kGap;
  const LONG width = std::max(pagesWidth, buttonsWidth) + 2 * kMargin;
  const LONG height = kMargin + pagesHeight + kMargin + kButtonHeight + kMargin;

  kp::qt::WindowDesc frame;
  frame.kind = kp::qt::WindowKind::Dialog;
  frame.parent = hwndOwner;
  frame.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  frame.text = std::string(lpszCaption != nullptr ? lpszCaption : "") + " Properties";
  frame.rect = RECT{0, 0, width, height};
  frame.fontName = "MS Sans Serif";
  frame.pointSize = 8;
  HWND hFrame = kp::qt::CreateWindowObject(frame);
  if (hFrame == nullptr || !Attach(hFrame)) {
    if (hFrame != nullptr) ::DestroyWindow(hFrame);
    return E_FAIL;
  }
  LONG x = width - kMargin - buttonsWidth;
  const LONG y = height - kMargin - kButtonHeight;
  for (const FrameButton& button : kButtons) {
    kp::qt::WindowDesc desc;
    desc.kind = kp::qt::WindowKind::PushButton;
    desc.parent = hFrame;
    desc.id = static_cast<int>(button.id);
    desc.style = WS_CHILD | WS_VISIBLE | button.style;
    desc.text = button.text;
    desc.rect = RECT{x, y, x + kButtonWidth, y + kButtonHeight};
    if (kp::qt::CreateWindowObject(desc) == nullptr) return E_FAIL;
    x += kButtonWidth + kGap;
  }

  LONG top = kMargin;
  for (Page& page : m_pages) {
    RECT rect{kMargin, top, kMargin + page.size.cx, top + page.size.cy};
    if (SUCCEEDED(page.page->Activate(hFrame, &rect, TRUE))) page.page->Show(SW_SHOW);
    top += page.size.cy;
  }
  kp::qt::RunModalLoop(hFrame, nullptr);
  CloseAll();
  return S_OK;
}

void CPropertyFrame::OnOK() {
  ApplyAll();
  kp::qt::EndModalLoop(m_hWnd, IDOK);
}

void CPropertyFrame::OnCancel() { kp::qt::EndModalLoop(m_hWnd, IDCANCEL); }

void CPropertyFrame::OnApplyNow() {
  ApplyAll();
  UpdateApply();
}

void CPropertyFrame::UpdateApply() {
  if (m_hWnd == nullptr) return;
  bool dirty = std::any_of(m_pages.begin(), m_pages.end(), [](const Page& p) { return p.page->IsPageDirty() == S_OK; });
  kp::qt::EnableWindow(kp::qt::GetDlgItem(m_hWnd, ID_APPLY_NOW), dirty);
}

void CPropertyFrame::ApplyAll() {
  for (Page& page : m_pages)
    if (page.page->IsPageDirty() == S_OK) page.page->Apply();
}

void CPropertyFrame::CloseAll() {
  for (Page& page : m_pages) {
    page.page->Deactivate();
    page.page->SetObjects(0, nullptr);
    page.page->SetPageSite(nullptr);
  }
  m_pages.clear();
  if (m_hWnd != nullptr) DestroyWindow();
}

}  // namespace

HRESULT OleCreatePropertyFrame(HWND hwndOwner, UINT, UINT, LPCOLESTR lpszCaption, ULONG cObjects, LPUNKNOWN* ppUnk,
                               ULONG cPages, LPCLSID pPageClsID, LCID lcid, DWORD, LPVOID) {
  if (cPages == 0 || pPageClsID == nullptr || (cObjects != 0 && ppUnk == nullptr)) return E_INVALIDARG;
  CPropertyFrame frame;
  return frame.Run(hwndOwner, lpszCaption, cObjects, ppUnk, cPages, pPageClsID, lcid);
}
