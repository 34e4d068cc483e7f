#pragma once
// Files dropped from a file manager. A drop arrives as WM_DROPFILES with an
// HDROP in wParam; the handle names a record of the dropped paths and the
// drop point, valid until DragFinish releases it. Released or forged handles
// are simply not found: queries return 0.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/geometry.h"
#include "platform/base/handles.h"
#include "platform/base/win_types.h"

// The block a program builds to hand files over (CF_HDROP on the clipboard
// or in a drag): this header, then the paths from pFiles on, each ended by
// a NUL and the list by one more; 8-bit UTF-8 paths, or UTF-16 with fWide.
struct DROPFILES {
  DWORD pFiles;  // offset of the first path from the start of the block
  POINT pt;
  BOOL fNC;
  BOOL fWide;
};
static_assert(sizeof(DROPFILES) == 20);

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
// The paths of a DROPFILES block, as UTF-8; nothing when the block is
// malformed (shorter than its header, pFiles outside it, a list that runs
// past its end or is not UTF-16 where it says so) or names no file.
std::optional<std::vector<std::string>> ParseDropFiles(std::span<const BYTE> block);
// The local files of a URI list (RFC 2483: one URI a line, '#' for a
// comment), or of a file manager's list of copied files (the same, after a
// first line "copy" or "cut"). Empty when the list names no file or any of
// it is not a local file.
std::vector<std::string> LocalFilesFromUriList(std::string_view text);
// How many drops are not yet released (for leak tests).
std::size_t LiveDropCount();
}  // namespace kp::qt
