#include "platform/user/window_functions.h"

#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/qt/drop_files.h"
#include "platform/qt/window_system.h"
#include "platform/user/menu.h"

namespace kp::user {
namespace {
WindowProcedure& InstalledProcedure() {
  static WindowProcedure procedure = nullptr;
  return procedure;
}

std::unordered_map<HWND, HMENU>& WindowMenus() {
  static std::unordered_map<HWND, HMENU> menus;
  return menus;
}

// WM_INITMENUPOPUP for the menu, then for each submenu it holds once its
// owner has seen it, depth first.
void InitPopups(HMENU hMenu, UINT index, HWND owner, bool windowMenu) {
  SendMessage(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hMenu),
              MAKELPARAM(static_cast<WORD>(index), windowMenu));
  std::vector<HMENU> subs;
  for (int i = 0, count = GetMenuItemCount(hMenu); i < count; ++i) subs.push_back(GetSubMenu(hMenu, i));
  for (UINT i = 0; i < subs.size(); ++i)
    if (subs[i] && IsMenu(subs[i])) InitPopups(subs[i], i, owner, windowMenu);
}

// Shows a menu for its owner and returns the chosen id, or 0.
UINT ShowPopupMenu(HMENU hMenu, POINT screen, HWND owner, bool windowMenu) {
  InitPopups(hMenu, 0, owner, windowMenu);
  if (!IsMenu(hMenu) || !IsWindow(owner)) return 0;
  return qt::TrackPopupMenu(DescribeMenu(hMenu), screen, owner);
}

// Shows the window menu at a screen point and posts the chosen command.
void ShowWindowMenu(HWND hWnd, POINT screen) {
  HMENU menu = GetWindowMenu(hWnd, false);
  if (menu == nullptr) return;
  UINT chosen = ShowPopupMenu(menu, screen, hWnd, true);
  if (chosen != 0)
    PostMessage(hWnd, WM_SYSCOMMAND, chosen, MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)));
}

// Default handling the window system gives every window, by message.
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

WindowProcedure SetWindowProcedure(WindowProcedure procedure) { return std::exchange(InstalledProcedure(), procedure); }

HMENU GetWindowMenu(HWND hWnd, bool revert) {
  auto& menus = WindowMenus();
  auto it = menus.find(hWnd);
  if (revert) {
    if (it != menus.end()) {
      ::DestroyMenu(it->second);
      menus.erase(it);
    }
    return nullptr;
  }
  if (it != menus.end() && IsMenu(it->second)) return it->second;
  DWORD style = qt::GetStyle(hWnd);
  if (!IsWindow(hWnd) || !(style & WS_SYSMENU)) return nullptr;
  HMENU menu = ::CreatePopupMenu();
  if (style & WS_MINIMIZEBOX) ::AppendMenu(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
  ::AppendMenu(menu, MF_STRING, SC_CLOSE, "&Close");
  menus[hWnd] = menu;
  return menu;
}

}  // namespace kp::user

LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!kp::qt::IsWindow(hWnd)) return 0;
  kp::user::WindowProcedure procedure = kp::user::InstalledProcedure();
  return procedure ? procedure(hWnd, message, wParam, lParam) : DefWindowProc(hWnd, message, wParam, lParam);
}

namespace {
// The window system below hands every message it makes to SendMessage
// through this hook, so that it never names this layer.
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
  auto it = kp::user::Defaults().find(message);
  if (it != kp::user::Defaults().end()) return it->second(hWnd, wParam, lParam);
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
  kp::user::GetWindowMenu(hWnd, true);
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

BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, const RECT*) {
  if (!IsMenu(hMenu) || !IsWindow(hWnd)) return FALSE;
  UINT chosen = kp::user::ShowPopupMenu(hMenu, POINT{x, y}, hWnd, false);
  if (uFlags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
  // As on Windows, the command is posted: it runs after the caller is done
  // with the menu.
  if (chosen != 0) PostMessage(hWnd, WM_COMMAND, chosen, 0);
  return TRUE;
}
