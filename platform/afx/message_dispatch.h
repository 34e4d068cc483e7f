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

}  // namespace kp::afx
