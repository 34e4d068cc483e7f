#pragma once
// Which modal window the user is held in: Windows disables a modal dialog's
// owner while it runs; here the owner stays enabled and Qt's modality holds
// the user instead, so callers ask this.

#include "platform/base/handles.h"

namespace kp::qt {

// The top-level window of the innermost running modal loop, or null.
HWND ActiveModalWindow();
// True while a modal window other than hWnd's own top-level window is open.
bool IsBlockedByModalWindow(HWND hWnd);

}  // namespace kp::qt
