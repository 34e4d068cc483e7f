#include "platform/afx/wnd.h"

#include <cstring>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/afx/exception.h"
#include "platform/afx/message_dispatch.h"
#include "platform/afx/prompts.h"
#include "platform/qt/window_system.h"
#include "platform/user/window_functions.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace {
struct HandleMaps {
  std::unordered_map<HWND, CWnd*> permanent;
  std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
};

HandleMaps& Maps() {
  static HandleMaps maps;
  return maps;
}

std::vector<kp::afx::CurrentMessage>& MessageStack() {
  static std::vector<kp::afx::CurrentMessage> stack;
  return stack;
}

// The framework's window procedure, which the window functions call for
// every message: the window's object handles it, with the message recorded
// as current (for Default), or DefWindowProc does for a window without one.
// No exception passes: the window system below is not ours to unwind.
LRESULT FrameworkWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (CWnd* wnd = CWnd::FromHandlePermanent(hWnd)) {
    MessageStack().push_back(kp::afx::CurrentMessage{hWnd, message, wParam, lParam});
    try {
      result = wnd->WindowProc(message, wParam, lParam);
    } catch (...) {
      kp::afx::ReportHandlerException();
      result = message == WM_CREATE ? -1 : 0;
    }
    MessageStack().pop_back();
  } else {
    result = ::DefWindowProc(hWnd, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) kp::afx::ForgetWindow(hWnd);
  return result;
}

const struct InstallWindowProcedure {
  InstallWindowProcedure() { kp::user::SetWindowProcedure(&FrameworkWindowProc); }
} g_installWindowProcedure;
}  // namespace

namespace kp::afx {
const CurrentMessage* GetCurrentMessage() {
  auto& stack = MessageStack();
  return stack.empty() ? nullptr : &stack.back();
}

// The window is gone: its object lets go of it and temporary objects go.
void ForgetWindow(HWND hWnd) {
  auto& maps = Maps();
  maps.temporary.erase(hWnd);
  auto it = maps.permanent.find(hWnd);
  if (it == maps.permanent.end()) return;
  CWnd* wnd = it->second;
  maps.permanent.erase(it);
  // The objects it had subclassed let go of the window too, front first; a
  // PostNcDestroy may delete its object, so the next is read before.
  while (wnd != nullptr) {
    CWnd* next = std::exchange(wnd->m_pSuperWnd, nullptr);
    wnd->m_hWnd = nullptr;
    wnd->PostNcDestroy();
    wnd = next;
  }
}
}  // namespace kp::afx

CWnd::CWnd() = default;

CWnd::~CWnd() {
  // By now the derived parts are gone, so the window is torn down without
  // this object seeing its last messages.
  if (HWND h = Detach()) ::DestroyWindow(h);
}

HWND CWnd::GetSafeHwnd() const { return m_hWnd; }

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  auto& maps = Maps();
  auto it = maps.permanent.find(hWnd);
  return it == maps.permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (!kp::qt::IsWindow(hWnd)) return nullptr;
  if (CWnd* wnd = FromHandlePermanent(hWnd)) return wnd;
  auto& slot = Maps().temporary[hWnd];
  if (!slot) {
    slot = std::make_unique<CWnd>();
    slot->m_hWnd = hWnd;
  }
  return slot.get();
}

BOOL CWnd::Attach(HWND hWndNew) {
  if (m_hWnd != nullptr || !kp::qt::IsWindow(hWndNew)) return FALSE;
  auto& maps = Maps();
  if (maps.permanent.count(hWndNew)) return FALSE;
  maps.permanent[hWndNew] = this;
  m_hWnd = hWndNew;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND h = m_hWnd;
  if (h != nullptr) {
    auto& maps = Maps();
    auto it = maps.permanent.find(h);
    if (it != maps.permanent.end()) {
      if (it->second == this) {
        // The object this one had subclassed gets the window back.
        if (m_pSuperWnd != nullptr)
          it->second = m_pSuperWnd;
        else
          maps.permanent.erase(it);
      } else {
        // Behind another object: that one passes on to what this one did.
        for (CWnd* front = it->second; front != nullptr; front = front->m_pSuperWnd) {
          if (front->m_pSuperWnd == this) {
            front->m_pSuperWnd = m_pSuperWnd;
            break;
          }
        }
      }
    }
  }
  m_pSuperWnd = nullptr;
  m_hWnd = nullptr;
  return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  CWnd* previous = FromHandlePermanent(hWnd);
  if (previous == nullptr || previous == this) return Attach(hWnd);
  // The window has an object already (a hosted control's own): this one goes
  // in front and passes on what its map leaves, as a subclassing window
  // procedure passes messages on to the one it replaced.
  if (m_hWnd != nullptr) return FALSE;
  Maps().permanent[hWnd] = this;
  m_hWnd = hWnd;
  m_pSuperWnd = previous;
  return TRUE;
}

BOOL CWnd::Create(LPCTSTR, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, void*) {
  if (m_hWnd != nullptr) return FALSE;
  kp::qt::WindowDesc desc;
  desc.kind = kp::qt::WindowKind::Custom;
  desc.parent = pParentWnd ? pParentWnd->m_hWnd : nullptr;
  if (pParentWnd && desc.parent == nullptr) return FALSE;
  desc.id = static_cast<int>(nID);
  desc.style = dwStyle;
  desc.text = lpszWindowName ? lpszWindowName : "";
  desc.rect = rect;
  HWND h = kp::qt::CreateWindowObject(desc);
  if (h == nullptr || !Attach(h)) return FALSE;

  CREATESTRUCT cs{};
  cs.hwndParent = desc.parent;
  cs.x = rect.left;
  cs.y = rect.top;
  cs.cx = rect.right - rect.left;
  cs.cy = rect.bottom - rect.top;
  cs.style = static_cast<LONG>(dwStyle);
  cs.lpszName = lpszWindowName;
  cs.hMenu = reinterpret_cast<HMENU>(static_cast<std::uintptr_t>(nID));
  if (::SendMessage(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    ::DestroyWindow(h);
    return FALSE;
  }
  if (!::IsWindow(h)) return FALSE;
  ::SendMessage(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(cs.cx), static_cast<WORD>(cs.cy)));
  if ((dwStyle & WS_VISIBLE) && ::IsWindow(h)) kp::qt::ShowWindow(h, SW_SHOW);
  return ::IsWindow(h);
}

BOOL CWnd::DestroyWindow() { return ::DestroyWindow(m_hWnd); }

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(kp::qt::GetDlgItem(m_hWnd, nID)); }
int CWnd::GetDlgCtrlID() const { return kp::qt::GetDlgCtrlID(m_hWnd); }
CWnd* CWnd::GetParent() const { return FromHandle(kp::qt::GetParent(m_hWnd)); }

DWORD CWnd::GetStyle() const { return kp::qt::GetStyle(m_hWnd); }
BOOL CWnd::ShowWindow(int nCmdShow) { return kp::qt::ShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::IsWindowVisible() const { return kp::qt::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsIconic() const { return kp::qt::IsIconic(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return kp::qt::EnableWindow(m_hWnd, bEnable != FALSE); }
BOOL CWnd::IsWindowEnabled() const { return kp::qt::IsWindowEnabled(m_hWnd); }

void CWnd::SetWindowText(LPCTSTR lpszString) {
  ::SendMessage(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszString ? lpszString : ""));
}

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
  if (lpszStringBuf == nullptr || nMaxCount <= 0) return 0;
  return static_cast<int>(
      ::SendMessage(m_hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpszStringBuf)));
}

void CWnd::GetWindowText(CString& rString) const { rString = CString(kp::qt::GetWindowText(m_hWnd)); }
void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString) {
  if (CWnd* item = GetDlgItem(nID)) item->SetWindowText(lpszString);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  CWnd* item = GetDlgItem(nID);
  rString.Empty();
  if (item) item->GetWindowText(rString);
  return rString.GetLength();
}

UINT CWnd::IsDlgButtonChecked(int nIDButton) const {
  return static_cast<UINT>(::SendMessage(kp::qt::GetDlgItem(m_hWnd, nIDButton), BM_GETCHECK));
}

void CWnd::GetClientRect(LPRECT lpRect) const {
  if (lpRect) *lpRect = kp::qt::GetClientRect(m_hWnd);
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
  if (lpRect) *lpRect = kp::qt::GetWindowRect(m_hWnd);
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
  kp::qt::MoveWindow(m_hWnd, RECT{x, y, x + nWidth, y + nHeight}, bRepaint != FALSE);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
  if (lpRect) kp::qt::MoveWindow(m_hWnd, *lpRect, bRepaint != FALSE);
}

void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { kp::qt::InvalidateRect(m_hWnd, lpRect, bErase != FALSE); }
void CWnd::Invalidate(BOOL bErase) { kp::qt::InvalidateRect(m_hWnd, nullptr, bErase != FALSE); }
void CWnd::UpdateWindow() { kp::qt::UpdateWindow(m_hWnd); }

CWnd* CWnd::SetFocus() {
  CWnd* previous = GetFocus();
  kp::qt::SetFocus(m_hWnd);
  return previous;
}

CWnd* CWnd::GetFocus() { return FromHandle(kp::qt::GetFocus()); }
CWnd* CWnd::GetActiveWindow() { return FromHandle(kp::qt::GetActiveWindow()); }

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, void*) { return kp::qt::SetTimer(m_hWnd, nIDEvent, nElapse); }
BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return kp::qt::KillTimer(m_hWnd, nIDEvent); }

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) { return kp::qt::SetIcon(m_hWnd, hIcon, bBigIcon != FALSE); }
HICON CWnd::GetIcon(BOOL bBigIcon) const { return kp::qt::GetIcon(m_hWnd, bBigIcon != FALSE); }
void CWnd::DragAcceptFiles(BOOL bAccept) { kp::qt::DragAcceptFiles(m_hWnd, bAccept != FALSE); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessage(m_hWnd, message, wParam, lParam);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType, HINSTANCE hModule) {
  std::string caption = lpszCaption ? std::string(lpszCaption) : kp::afx::GetAppName(hModule);
  return kp::afx::ShowMessageBox(m_hWnd, lpszText, caption.c_str(), nType);
}

void CWnd::WinHelp(DWORD_PTR dwData, UINT nCmd) { ::WinHelp(m_hWnd, nullptr, nCmd, dwData); }

void CWnd::DoDataExchange(CDataExchange*) {}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_COMMAND) {
    if (!OnCommand(wParam, lParam)) return FALSE;
    *pResult = 1;
    return TRUE;
  }
  const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
  if (entry == nullptr) return FALSE;
  *pResult = entry->pfn(this, wParam, lParam, nullptr);
  return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pSuperWnd != nullptr) return m_pSuperWnd->WindowProc(message, wParam, lParam);
  return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT nID = LOWORD(wParam);
  // Menus and accelerators carry no control; their code is the command's.
  int nCode = lParam == 0 ? CN_COMMAND : HIWORD(wParam);
  return OnCmdMsg(nID, nCode, nullptr);
}

LRESULT CWnd::Default() {
  const kp::afx::CurrentMessage* current = kp::afx::GetCurrentMessage();
  if (current == nullptr) return 0;
  return DefWindowProc(current->message, current->wParam, current->lParam);
}

void CWnd::PostNcDestroy() {}

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnDropFiles(HDROP) { Default(); }
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
