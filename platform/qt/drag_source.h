#pragma once
// Dragging data out of a window, to another program or another window of
// this one: the desktop's own drag and drop (XDND, the Wayland data device)
// carries it, with the mime types the clipboard uses (clipboard.h).

#include <vector>

#include "platform/base/handles.h"
#include "platform/base/win_types.h"
#include "platform/qt/clipboard.h"

using DROPEFFECT = DWORD;
constexpr DROPEFFECT DROPEFFECT_NONE = 0;
constexpr DROPEFFECT DROPEFFECT_COPY = 1;
constexpr DROPEFFECT DROPEFFECT_MOVE = 2;
constexpr DROPEFFECT DROPEFFECT_LINK = 4;

namespace kp::qt {
// Drags `data` from the window `source` (its top-level window when it is
// gone) until the user drops it or gives up, showing a small picture of a
// CF_DIB under the pointer. Returns what the target did with it, among
// `allowed`: DROPEFFECT_NONE when nothing took it. A window of this program
// is not offered its own drag.
DROPEFFECT DoDragDrop(HWND source, const std::vector<TransferData>& data, DROPEFFECT allowed);
}  // namespace kp::qt
