#pragma once
// The wait cursor while a command works, the arrow again when it ends, on
// every path out of it.

#include "platform/user/window_functions.h"

class WaitCursor {
 public:
  WaitCursor() { ::SetCursor(::LoadCursor(nullptr, IDC_WAIT)); }
  ~WaitCursor() { ::SetCursor(::LoadCursor(nullptr, IDC_ARROW)); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};
