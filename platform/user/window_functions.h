#pragma once
// The window functions of the platform's user interface, Windows-shaped:
// messages, windows by handle, input state, cursors, system values. Every
// call that takes an HWND fails cleanly for a window that no longer exists.

#include "platform/base/win_user_ext.h"

// Calls the window's procedure: the attached CWnd's WindowProc, or the
// default procedure of its class. 0 for an unknown window. Exceptions a
// handler lets escape are reported here and never reach the caller.
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

// Ends the application's message loop (CWinApp::Run) with this exit code.
void PostQuitMessage(int nExitCode);

// Painting. A window that draws itself keeps what it drew in a backing image:
// BeginPaint gives a DC over it for the area WM_PAINT asked for (and
// validates it); GetDC gives one at any time, shown at ReleaseDC.
HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
