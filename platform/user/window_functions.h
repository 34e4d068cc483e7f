#pragma once
// The window functions of the platform's user interface, Windows-shaped:
// messages, windows by handle, input state, cursors, system values. Every
// call that takes an HWND fails cleanly for a window that no longer exists.
// They sit below the framework and never name it: a window's messages reach
// the framework's objects only through the window procedure it installs.

#include "platform/base/win_user_ext.h"

namespace kp::user {
// The procedure of every window. The framework installs one when its library
// loads, which finds the window's object and calls its WindowProc, and which
// keeps any exception a handler lets escape from reaching the caller. Until
// one is installed (or after null is), messages get DefWindowProc. Returns
// the procedure it replaces.
using WindowProcedure = LRESULT (*)(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
WindowProcedure SetWindowProcedure(WindowProcedure procedure);
}  // namespace kp::user

// Calls the window's procedure. 0 for an unknown window.
LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Queues the message for after the current one; FALSE for an unknown window.
BOOL PostMessage(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// The default processing of a message by the window system.
LRESULT DefWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

BOOL IsWindow(HWND hWnd);
BOOL DestroyWindow(HWND hWnd);
HWND GetDlgItem(HWND hDlg, int nIDDlgItem);

// High bit set while the key is down, as seen by the input event being
// handled (VK_CONTROL, VK_SHIFT, VK_MENU, VK_LBUTTON, VK_RBUTTON).
SHORT GetKeyState(int nVirtKey);
int GetSystemMetrics(int nIndex);

// System cursors: LoadCursor(NULL, IDC_WAIT / IDC_ARROW). The wait cursor
// stays until the arrow is set back.
HCURSOR LoadCursor(HINSTANCE hInstance, LPCTSTR lpCursorName);
HCURSOR SetCursor(HCURSOR hCursor);
HCURSOR GetCursor();

// Help has no viewer here; the calls succeed and do nothing.
BOOL WinHelp(HWND hWndMain, LPCTSTR lpszHelp, UINT uCommand, ULONG_PTR dwData);

// Menus shown by a window. Before one opens, the owner gets
// WM_INITMENUPOPUP for it and each submenu (so its update handlers grey
// items). Without TPM_RETURNCMD: TRUE when shown, and the chosen command is
// posted to the owner as WM_COMMAND. With it: the chosen id, or 0.
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd, const RECT* prcRect);
namespace kp::user {
// The window menu, which stands in for the system menu that Linux does not
// let a program extend: Close (SC_CLOSE), and Minimize for windows with a
// minimise box; its items send WM_SYSCOMMAND. Made on first use and
// destroyed with the window; revert drops it (the next call makes it
// afresh). Null for a window without WS_SYSMENU.
HMENU GetWindowMenu(HWND hWnd, bool revert);
}  // namespace kp::user

// Ends the application's message loop (CWinApp::Run) with this exit code.
void PostQuitMessage(int nExitCode);

// Painting. A window that draws itself keeps what it drew in a backing image:
// BeginPaint gives a DC over it for the area WM_PAINT asked for (and
// validates it); GetDC gives one at any time, shown at ReleaseDC.
HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
