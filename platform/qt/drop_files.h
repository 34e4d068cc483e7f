#pragma once
// Files dropped from a file manager. A drop arrives as WM_DROPFILES with an
// HDROP in wParam; the handle names a record of the dropped paths and the
// drop point, valid until DragFinish releases it. Released or forged handles
// are simply not found: queries return 0.

#include <string>
#include <vector>

#include "platform/base/geometry.h"
#include "platform/base/handles.h"

// With iFile 0xFFFFFFFF: the number of files. With a null buffer: the length
// of file iFile's path, without the terminator. Otherwise copies at most
// cch - 1 characters and a terminator and returns the characters copied.
UINT DragQueryFile(HDROP hDrop, UINT iFile, LPTSTR lpszFile, UINT cch);
// The drop point in the client coordinates of the window dropped on.
BOOL DragQueryPoint(HDROP hDrop, POINT* lppt);
void DragFinish(HDROP hDrop);

namespace kp::qt {
// Made by the window system for each drop it delivers.
HDROP CreateDropHandle(std::vector<std::string> files, POINT point);
// How many drops are not yet released (for leak tests).
std::size_t LiveDropCount();
}  // namespace kp::qt
