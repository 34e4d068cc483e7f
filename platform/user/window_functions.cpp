#include "platform/user/window_functions.h"

#include <new>
#include <unordered_map>
#include <vector>

#include "platform/afx/exception.h"
#include "platform/afx/message_dispatch.h"
#include "platform/afx/prompts.h"
#include "platform/afx/wnd.h"
#include "platform/qt/drop_files.h"
#include "platform/qt/window_system.h"

namespace kp::afx {
namespace {
std::vector<CurrentMessage>& MessageStack() {
  static std::vector<CurrentMessage> stack;
  return stack;
}

// Calls the object's WindowProc with the message recorded as current. No
// exception passes: the window system below is not ours to unwind.
LRESULT CallWindowProc(CWnd* wnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  MessageStack().push_back(CurrentMessage{hWnd, message, wParam, lParam});
  LRESULT result = 0;
  try {
    result = wnd->WindowProc(message, wParam, lParam);
  } catch (...) {
    ReportHandlerException();
    result = message == WM_CREATE ? -1 : 0;
  }
  MessageStack().pop_back();
  return result;
}

// Default handling the framework gives every window, by message.
using DefaultHandler = LRESULT (*)(HWND, WPARAM, LPARAM);

LRESULT DefaultClose(HWND hWnd, WPARAM, LPARAM) {
  if (qt::GetKind(hWnd) == qt::WindowKind::Dialog) {
    // A dialog's close box is its Cancel button.
    HWND cancel = qt::GetDlgItem(hWnd, IDCANCEL);
    if (cancel && !qt::IsWindowEnabled(cancel)) return 0;
    SendMessage(hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
  } else {
    DestroyWindow(hWnd);
  }
  return 0;
}

LRESULT DefaultSysCommand(HWND hWnd, WPARAM wParam, LPARAM) {
  // clang-format off
  static const std::unordered_map<UINT, void (*)(HWND)> commands = {
      {SC_CLOSE, [](HWND h) { SendMessage(h, WM_CLOSE); }},
      {SC_MINIMIZE, [](HWND h) { qt::ShowWindow(h, SW_MINIMIZE); }},
      {SC_RESTORE, [](HWND h) { qt::ShowWindow(h, SW_RESTORE); }},
      {SC_KEYMENU, [](HWND h) {
         RECT r = qt::GetWindowRect(h);
         ShowWindowMenu(h, POINT{r.left, r.top});
       }},
  };
  // clang-format on
  auto it = commands.find(static_cast<UINT>(wParam & 0xFFF0));
  if (it != commands.end()) it->second(hWnd);
  return 0;
}

LRESULT DefaultContextMenu(HWND hWnd, WPARAM wParam, LPARAM lParam) {
  HWND parent = qt::GetParent(hWnd);
  if (parent && qt::GetKind(hWnd) != qt::WindowKind::Dialog) return SendMessage(parent, WM_CONTEXTMENU, wParam, lParam);
  // A right click on the window's own background opens its window menu.
  if (reinterpret_cast<HWND>(wParam) != hWnd || !(qt::GetStyle(hWnd) & WS_SYSMENU)) return 0;
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (lParam == -1) {
    RECT r = qt::GetWindowRect(hWnd);
    at = POINT{r.left, r.top};
  }
  ShowWindowMenu(hWnd, at);
  return 0;
}

LRESULT DefaultDropFiles(HWND, WPARAM wParam, LPARAM) {
  DragFinish(reinterpret_cast<HDROP>(wParam));
  return 0;
}

const std::unordered_map<UINT, DefaultHandler>& Defaults() {
  static const std::unordered_map<UINT, DefaultHandler> defaults = {
      {WM_CLOSE, DefaultClose},
      {WM_SYSCOMMAND, DefaultSysCommand},
      {WM_CONTEXTMENU, DefaultContextMenu},
      {WM_DROPFILES, DefaultDropFiles},
  };
  return defaults;
}

}  // namespace

const CurrentMessage* GetCurrentMessage() {
  auto& stack = MessageStack();
  return stack.empty() ? nullptr : &stack.back();
}

void ReportHandlerException() {
  try {
    throw;
  } catch (const CUserException&) {
    // Already told the user.
  } catch (const CException& e) {
    AfxReportException(e);
  } catch (const std::bad_alloc&) {
    AfxReportException(CMemoryException());
  } catch (...) {
    ShowMessageBox(nullptr, kAfxInternalFailureMessage, GetAppName().c_str(), MB_OK | MB_ICONERROR);
  }
}

}  // namespace kp::afx

LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!kp::qt::IsWindow(hWnd)) return 0;
  CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
  LRESULT result =
      wnd ? kp::afx::CallWindowProc(wnd, hWnd, message, wParam, lParam) : DefWindowProc(hWnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) kp::afx::ForgetWindow(hWnd);
  return result;
}

namespace {
// The window system, below the framework, hands every message it makes to
// SendMessage through this hook, so that it never names the framework.
const struct InstallWindowProcedure {
  InstallWindowProcedure() { kp::qt::SetWindowProcedure(&SendMessage); }
} g_installWindowProcedure;
}  // namespace

BOOL PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!kp::qt::IsWindow(hWnd)) return FALSE;
  kp::qt::PostMessage(hWnd, message, wParam, lParam);
  return TRUE;
}

LRESULT DefWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!kp::qt::IsWindow(hWnd)) return 0;
  auto it = kp::afx::Defaults().find(message);
  if (it != kp::afx::Defaults().end()) return it->second(hWnd, wParam, lParam);
  bool handled = false;
  return kp::qt::ClassWindowProc(hWnd, message, wParam, lParam, &handled);
}

BOOL IsWindow(HWND hWnd) { return kp::qt::IsWindow(hWnd); }

BOOL DestroyWindow(HWND hWnd) {
  if (!kp::qt::BeginDestroy(hWnd)) return FALSE;
  // Windows' order: WM_DESTROY parent first, then the children are
  // destroyed, then WM_NCDESTROY, after the children's own.
  SendMessage(hWnd, WM_DESTROY);
  for (HWND child : kp::qt::GetChildren(hWnd)) DestroyWindow(child);
  SendMessage(hWnd, WM_NCDESTROY);
  kp::afx::ForgetWindow(hWnd);
  kp::afx::ForgetWindowMenu(hWnd);
  kp::qt::DestroyWindowObject(hWnd);
  return TRUE;
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) { return kp::qt::GetDlgItem(hDlg, nIDDlgItem); }

SHORT GetKeyState(int nVirtKey) { return kp::qt::GetKeyState(nVirtKey); }
int GetSystemMetrics(int nIndex) { return kp::qt::GetSystemMetrics(nIndex); }

namespace {
// The two system cursors are fixed handles: addresses of objects of ours,
// which no GDI handle value can equal.
char g_arrowCursor, g_waitCursor;
HCURSOR ArrowCursor() { return reinterpret_cast<HCURSOR>(&g_arrowCursor); }
HCURSOR WaitCursor() { return reinterpret_cast<HCURSOR>(&g_waitCursor); }
}  // namespace

HCURSOR LoadCursor(HINSTANCE hInstance, LPCTSTR lpCursorName) {
  if (hInstance != nullptr || !IS_INTRESOURCE(lpCursorName)) return nullptr;
  if (lpCursorName == IDC_WAIT) return WaitCursor();
  if (lpCursorName == IDC_ARROW) return ArrowCursor();
  return nullptr;
}

HCURSOR SetCursor(HCURSOR hCursor) {
  HCURSOR previous = GetCursor();
  if (hCursor == WaitCursor())
    kp::qt::SetWaitCursor(true);
  else if (hCursor == ArrowCursor() || hCursor == nullptr)
    kp::qt::SetWaitCursor(false);
  return previous;
}

HCURSOR GetCursor() { return kp::qt::IsWaitCursorShown() ? WaitCursor() : ArrowCursor(); }

BOOL WinHelp(HWND, LPCTSTR, UINT, ULONG_PTR) { return TRUE; }

void PostQuitMessage(int nExitCode) { kp::qt::QuitApplicationLoop(nExitCode); }

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint) {
  if (lpPaint == nullptr || !kp::qt::IsWindow(hWnd)) return nullptr;
  *lpPaint = PAINTSTRUCT{};
  lpPaint->hdc = kp::qt::BeginPaint(hWnd, &lpPaint->rcPaint);
  return lpPaint->hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  if (lpPaint == nullptr) return FALSE;
  kp::qt::EndPaint(hWnd, lpPaint->hdc);
  return TRUE;
}

HDC GetDC(HWND hWnd) { return kp::qt::GetDC(hWnd); }
int ReleaseDC(HWND hWnd, HDC hDC) { return kp::qt::ReleaseDC(hWnd, hDC); }
