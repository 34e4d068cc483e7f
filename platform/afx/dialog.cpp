#include "platform/afx/dialog.h"

#include <string>
#include <unordered_map>

#include "platform/afx/win_app.h"
#include "platform/qt/window_system.h"
#include "platform/resources/dialog_init.h"
#include "platform/resources/resource_images.h"
#include "platform/resources/resources.h"
#include "platform/user/window_functions.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

namespace kp::afx {
namespace {
HostedControlCreator g_hostedControlCreator = nullptr;

// Windows' MulDiv: the product divided, rounded half away from zero.
LONG MulDiv(LONG number, LONG numerator, LONG denominator) {
  long long product = static_cast<long long>(number) * numerator;
  long long half = denominator / 2;
  return static_cast<LONG>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

using Kind = kp::qt::WindowKind;
using Class = kp::resources::DialogItem::Class;

// The window kind of a template item, from its class and its style's type bits.
bool KindOf(const kp::resources::DialogItem& item, Kind* kind) {
  static const std::unordered_map<DWORD, Kind> buttons = {
      {BS_PUSHBUTTON, Kind::PushButton}, {BS_DEFPUSHBUTTON, Kind::PushButton}, {BS_CHECKBOX, Kind::CheckBox},
      {BS_AUTOCHECKBOX, Kind::CheckBox}, {BS_GROUPBOX, Kind::GroupBox},        {BS_OWNERDRAW, Kind::OwnerDrawButton},
  };
  switch (item.windowClass) {
    case Class::Button: {
      auto it = buttons.find(item.style & BS_TYPEMASK);
      if (it == buttons.end()) return false;
      *kind = it->second;
      return true;
    }
    case Class::Edit: *kind = Kind::Edit; return true;
    case Class::Static: *kind = (item.style & SS_TYPEMASK) == SS_ICON ? Kind::StaticIcon : Kind::Static; return true;
    case Class::ComboBox: *kind = Kind::ComboBox; return true;
    case Class::Control: return false;
  }
  return false;
}

// The dialog's init records; false when they are malformed. A dialog without
// init data has none, which is fine.
bool ReadDialogInit(HINSTANCE module, UINT dialogId, std::vector<kp::resources::DialogInitRecord>& records) {
  records.clear();
  auto bytes = kp::resources::FindResourceBytes(module, MAKEINTRESOURCE(dialogId), RT_DLGINIT);
  if (!bytes || bytes->empty()) return true;
  return kp::resources::ParseDialogInit(*bytes, records) == kp::resources::DialogInitError::None;
}

std::span<const BYTE> PersistedData(HINSTANCE module, UINT dialogId, int controlId) {
  std::vector<kp::resources::DialogInitRecord> records;
  if (!ReadDialogInit(module, dialogId, records)) return {};
  for (const auto& record : records)
    if (record.controlId == controlId && record.message == WM_OCC_LOADFROMSTREAM) return record.data;
  return {};
}

HWND FirstTabStop(HWND dialog) {
  for (HWND child : kp::qt::GetChildren(dialog)) {
    DWORD style = kp::qt::GetStyle(child);
    if ((style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED)) return child;
  }
  return nullptr;
}
}  // namespace

HostedControlCreator SetHostedControlCreator(HostedControlCreator creator) {
  HostedControlCreator previous = g_hostedControlCreator;
  g_hostedControlCreator = creator;
  return previous;
}

RECT MapDialogUnits(const RECT& units, SIZE base) {
  return RECT{MulDiv(units.left, base.cx, 4), MulDiv(units.top, base.cy, 8), MulDiv(units.right, base.cx, 4),
              MulDiv(units.bottom, base.cy, 8)};
}

}  // namespace kp::afx

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd, HINSTANCE hRes)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {
  m_hModule = hRes;
}

BOOL CDialog::CreateFromTemplate(const kp::resources::DialogTemplate& t, HWND owner) {
  SIZE base = kp::qt::GetDialogBaseUnits(t.fontName ? t.fontName : "", t.pointSize);
  RECT client = kp::afx::MapDialogUnits(RECT{0, 0, t.cx, t.cy}, base);

  kp::qt::WindowDesc desc;
  // A child template is a page inside its owner, not a window of its own.
  const bool page = (t.style & WS_CHILD) && owner != nullptr;
  desc.kind = page ? kp::qt::WindowKind::Custom : kp::qt::WindowKind::Dialog;
  desc.parent = owner;
  desc.style = t.style;
  desc.exStyle = t.exStyle;
  desc.text = t.caption ? t.caption : "";
  desc.rect = client;
  desc.fontName = t.fontName ? t.fontName : "";
  desc.pointSize = t.pointSize;
  HWND h = kp::qt::CreateWindowObject(desc);
  if (h == nullptr || !Attach(h)) return FALSE;

  for (const auto& item : t.items) {
    RECT rect = kp::afx::MapDialogUnits(RECT{item.x, item.y, item.x + item.cx, item.y + item.cy}, base);
    HWND child = nullptr;
    kp::qt::WindowDesc c;
    if (kp::afx::KindOf(item, &c.kind)) {
      c.parent = h;
      c.id = item.id;
      c.style = item.style;
      c.exStyle = item.exStyle;
      c.text = item.text ? item.text : "";
      c.rect = rect;
      c.dropHeight = rect.bottom - rect.top;
      child = kp::qt::CreateWindowObject(c);
      // An icon static names its icon in its text ("#128"), in this module.
      if (child != nullptr && c.kind == kp::qt::WindowKind::StaticIcon)
        ::SendMessage(child, STM_SETICON, reinterpret_cast<WPARAM>(::LoadIcon(m_hModule, c.text.c_str())), 0);
    } else if (item.windowClass == kp::resources::DialogItem::Class::Control && kp::afx::g_hostedControlCreator) {
      kp::afx::HostedControlRequest request{this, &item, rect,
                                            kp::afx::PersistedData(m_hModule, m_nIDTemplate, item.id)};
      child = kp::afx::g_hostedControlCreator(request);
    }
    if (child == nullptr) return FALSE;
  }
  return TRUE;
}

INT_PTR CDialog::DoModal() {
  const kp::resources::DialogTemplate* t = kp::resources::FindDialogTemplate(m_hModule, m_nIDTemplate);
  if (t == nullptr) return -1;
  HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
  if (owner == nullptr) {
    CWnd* main = AfxGetMainWnd();
    if (main && main != this && ::IsWindow(main->m_hWnd)) owner = main->m_hWnd;
  }
  m_bEnded = false;
  m_nModalResult = -1;
  if (!CreateFromTemplate(*t, owner)) {
    if (HWND h = m_hWnd) ::DestroyWindow(h);
    return -1;
  }
  HWND h = m_hWnd;
  HWND first = kp::afx::FirstTabStop(h);
  BOOL focusFirst = static_cast<BOOL>(::SendMessage(h, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), 0));
  if (!m_bEnded && ::IsWindow(h)) {
    HWND focus = focusFirst ? kp::afx::FirstTabStop(h) : kp::qt::GetFocus();
    kp::qt::RunModalLoop(h, focus);
  }
  if (::IsWindow(h)) {
    kp::qt::ShowWindow(h, SW_HIDE);
    ::DestroyWindow(h);
  }
  return m_nModalResult;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  if (m_hWnd != nullptr) return FALSE;
  m_nIDTemplate = nIDTemplate;
  m_pParentWnd = pParentWnd;
  const kp::resources::DialogTemplate* t = kp::resources::FindDialogTemplate(m_hModule, m_nIDTemplate);
  if (t == nullptr) return FALSE;
  HWND owner = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
  m_bEnded = false;
  if (!CreateFromTemplate(*t, owner)) {
    if (HWND h = m_hWnd) ::DestroyWindow(h);
    return FALSE;
  }
  HWND h = m_hWnd;
  ::SendMessage(h, WM_INITDIALOG, reinterpret_cast<WPARAM>(kp::afx::FirstTabStop(h)), 0);
  if (m_bEnded || !::IsWindow(h)) {
    if (::IsWindow(h)) ::DestroyWindow(h);
    return FALSE;
  }
  if (t->style & WS_VISIBLE) kp::qt::ShowWindow(h, SW_SHOW);
  return TRUE;
}

void CDialog::EndDialog(int nResult) {
  m_nModalResult = nResult;
  m_bEnded = true;
  kp::qt::EndModalLoop(m_hWnd, nResult);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog() {
  if (!ExecuteDlgInit(m_nIDTemplate)) {
    EndDialog(-1);
    return FALSE;
  }
  if (!UpdateData(FALSE)) {
    EndDialog(-1);
    return FALSE;
  }
  return TRUE;
}

BOOL CDialog::ExecuteDlgInit(UINT nIDResource) {
  std::vector<kp::resources::DialogInitRecord> records;
  if (!kp::afx::ReadDialogInit(m_hModule, nIDResource, records)) return FALSE;
  for (const auto& record : records) {
    // Hosted controls took their records when they were created.
    if (record.message != CB_ADDSTRING) continue;
    std::string_view view;
    if (kp::resources::ParseDialogInitString(record.data, view) != kp::resources::DialogInitError::None) return FALSE;
    std::string text(view);
    ::SendMessage(::GetDlgItem(m_hWnd, record.controlId), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
