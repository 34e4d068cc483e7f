#pragma once
// The framework's internal message dispatch: which message is being handled
// (for CWnd::Default) and the end of a window's life.

#include "platform/base/handles.h"
#include "platform/base/win_types.h"

namespace kp::afx {

struct CurrentMessage {
  HWND hWnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// The innermost message being handled, or null outside any.
const CurrentMessage* GetCurrentMessage();
// Detaches the window's object (and calls its PostNcDestroy).
void ForgetWindow(HWND hWnd);
// The window's window menu (created on first use); bRevert drops it.
HMENU GetWindowMenu(HWND hWnd, bool revert);
void ForgetWindowMenu(HWND hWnd);
// Shows the window menu at a screen point and sends the chosen WM_SYSCOMMAND.
void ShowWindowMenu(HWND hWnd, POINT screen);
// Reports an exception that escaped a handler; the caller goes on.
void ReportHandlerException();

}  // namespace kp::afx
