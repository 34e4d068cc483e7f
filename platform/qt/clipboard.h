#pragma once
// The clipboard, shaped as on Windows and kept by the desktop's own
// clipboard (the X selection CLIPBOARD, the Wayland data device), so other
// programs see what is put on it and the editor sees what they put there.
//
//   if (OpenClipboard(hWnd)) {
//     EmptyClipboard();
//     SetClipboardData(CF_DIB, hPackedDib);  // the clipboard owns it now
//     CloseClipboard();                      // published here
//   }
//
// What goes out: CF_DIB (a packed DIB in global memory) is offered as
// "image/png" and "image/bmp" (the 14-byte file header, then the DIB);
// CF_HDROP (a DROPFILES block) as "text/uri-list". What comes in: CF_DIB
// from any picture offered ("image/png", "image/bmp", any other "image/"
// type), read by the same decoders as a picture file and handed out as a
// 32-bit bottom-up packed DIB; CF_HDROP from the local files of
// "text/uri-list" or of a file manager's "x-special/gnome-copied-files",
// handed out as a drop handle for DragQueryFile. Handles that
// GetClipboardData gives stay the clipboard's and are released when it is
// closed.

#include <string>
#include <vector>

#include "platform/base/handles.h"
#include "platform/base/win_types.h"

constexpr UINT CF_DIB = 8;
constexpr UINT CF_HDROP = 15;

// FALSE while the clipboard is already open.
BOOL OpenClipboard(HWND hWndNewOwner);
// Publishes what was set since EmptyClipboard, if anything, and releases
// the handles GetClipboardData gave.
BOOL CloseClipboard();
// Makes the program the clipboard's owner with nothing on it yet; FALSE
// unless the clipboard is open.
BOOL EmptyClipboard();
// Makes the global block hMem the data of uFormat. The clipboard then owns
// the block (the caller never touches it again) and returns its handle; on
// failure (null) it stays the caller's: when the clipboard is not open and
// emptied, the format is not one of the above, or the data is not what the
// format says.
HANDLE SetClipboardData(UINT uFormat, HANDLE hMem);
// Null when the clipboard is not open or holds nothing of that format.
HANDLE GetClipboardData(UINT uFormat);
BOOL IsClipboardFormatAvailable(UINT format);

namespace kp::qt {
// One format's data as bytes: a packed DIB for CF_DIB, a DROPFILES block
// for CF_HDROP. What the clipboard publishes and a drag offers.
struct TransferData {
  UINT format = 0;
  std::vector<BYTE> bytes;
};
}  // namespace kp::qt
