// The picture in and out of the control through the desktop: Copy puts it
// on the clipboard, Paste takes a picture or a copied file from there into
// the control as a drop would, and dragging hands it to whatever the user
// drops it on, as a bitmap file and as the picture itself.

#include <stdlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "control/tavlet_ctrl.h"
#include "control/tavlet_messages.h"
#include "platform/afx/cmd_ui.h"
#include "platform/afx/ole_data_source.h"
#include "platform/afx/prompts.h"
#include "platform/base/global_memory.h"
#include "platform/file/file.h"
#include "platform/gdi/bitmap_file_24.h"
#include "platform/gdi/dib_bitmap.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/scoped_gdi.h"
#include "platform/qt/clipboard.h"
#include "platform/qt/drop_files.h"
#include "platform/user/window_functions.h"

namespace {

// The name a dragged picture has where it lands, as Save As offers it.
constexpr char kDragFileName[] = "texture.bmp";

// The bitmap file Save As writes of `bitmap`; empty when it cannot be made.
std::vector<BYTE> BitmapFileOf(HBITMAP bitmap, LONG width, LONG height) {
  kp::gdi::ScopedMemoryDC memory(nullptr);
  std::vector<BYTE> file;
  if (!memory || !kp::gdi::BuildBitmapFile24(memory.get(), bitmap, width, height, file)) return {};
  return file;
}

// A global block of the packed DIB of a bitmap file: the file without its
// 14-byte file header, so the bitmap another program takes is the one Save
// As writes.
HGLOBAL PackedDibBlockOf(const std::vector<BYTE>& file) {
  return kp::base::GlobalBlockOf(std::span<const BYTE>(file).subspan(sizeof(BITMAPFILEHEADER)));
}

// The DROPFILES block that names one file.
HGLOBAL DropFilesBlockOf(const std::string& path) {
  std::vector<BYTE> block(sizeof(DROPFILES) + path.size() + 2, 0);
  const DROPFILES header{sizeof(DROPFILES), POINT{0, 0}, FALSE, FALSE};
  std::memcpy(block.data(), &header, sizeof header);
  std::memcpy(block.data() + sizeof header, path.data(), path.size());
  return kp::base::GlobalBlockOf(block);
}

// The folders dragged pictures are written to, one per drag so that a drop
// still being copied is never overwritten; they go when the program ends,
// when every drop has long been taken.
class DragFolders {
 public:
  ~DragFolders() {
    std::error_code ignored;
    for (const std::string& folder : m_folders) std::filesystem::remove_all(folder, ignored);
  }
  // A new folder of this user's alone; empty when none can be made.
  std::string Make() {
    std::error_code error;
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (error) return std::string();
    std::string pattern = (temp / "kestrow-drag-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return std::string();
    m_folders.push_back(pattern);
    return pattern;
  }

 private:
  std::vector<std::string> m_folders;
};

DragFolders& Folders() {
  static DragFolders folders;
  return folders;
}

}  // namespace

void CTavletCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  const bool control = ::GetKeyState(VK_CONTROL) < 0;
  const bool shift = ::GetKeyState(VK_SHIFT) < 0;
  // Ctrl+C and Ctrl+V, and the older Ctrl+Insert and Shift+Insert.
  if ((control && nChar == 'C') || (control && !shift && nChar == VK_INSERT)) {
    OnCopy();
  } else if ((control && nChar == 'V') || (shift && !control && nChar == VK_INSERT)) {
    OnPaste();
  } else {
    COleControl::OnKeyDown(nChar, nRepCnt, nFlags);
  }
}

void CTavletCtrl::OnCopy() {
  if (!m_hBitmap) return;
  const std::vector<BYTE> file = BitmapFileOf(m_hBitmap.get(), m_bitmapWidth, m_bitmapHeight);
  if (file.empty()) return;
  HGLOBAL dib = PackedDibBlockOf(file);
  if (dib == nullptr || !::OpenClipboard(m_hWnd)) {
    GlobalFree(dib);
    return;
  }
  ::EmptyClipboard();
  if (::SetClipboardData(CF_DIB, dib) == nullptr) GlobalFree(dib);
  ::CloseClipboard();
}

void CTavletCtrl::OnUpdatePaste(CCmdUI* pCmdUI) {
  pCmdUI->Enable(m_bTakesDrops && (::IsClipboardFormatAvailable(CF_HDROP) || ::IsClipboardFormatAvailable(CF_DIB)));
}

void CTavletCtrl::OnPaste() {
  // A control that takes no drops takes nothing pasted either.
  if (!m_bTakesDrops || !::OpenClipboard(m_hWnd)) return;
  // Copied files first, as a file manager offers them: the file itself is
  // better than any picture made of it.
  if (auto drop = static_cast<HDROP>(::GetClipboardData(CF_HDROP))) {
    // The drop is the clipboard's; it must outlive the message a failure
    // shows, so the clipboard closes afterwards.
    TakeDroppedFile(drop);
    ::CloseClipboard();
    return;
  }
  kp::gdi::ScopedBitmap pasted;
  bool offered = false;
  if (HGLOBAL dib = ::GetClipboardData(CF_DIB)) {
    offered = true;
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(dib));
    pasted.reset(kp::gdi::CreateBitmapFromPackedDib(std::span<const BYTE>(bytes, GlobalSize(dib))));
    GlobalUnlock(dib);
  } else {
    offered = ::IsClipboardFormatAvailable(CF_DIB) != FALSE;
  }
  ::CloseClipboard();
  BITMAP description{};
  if (pasted && ::GetObject(pasted.get(), sizeof description, &description) == static_cast<int>(sizeof description)) {
    AdoptBitmap(pasted.release(), description.bmWidth, description.bmHeight);
  } else if (offered) {
    // A picture there that would not decode: said as for a drop.
    AfxMessageBox(tavlet::kInvalidDropMessage);
  }
}

void CTavletCtrl::OnMouseMove(UINT nFlags, CPoint point) {
  if (m_bDragArmed && (nFlags & MK_LBUTTON) && m_hBitmap) {
    const int dx = std::abs(point.x - m_dragFrom.x);
    const int dy = std::abs(point.y - m_dragFrom.y);
    if (dx >= ::GetSystemMetrics(SM_CXDRAG) || dy >= ::GetSystemMetrics(SM_CYDRAG)) {
      m_bDragArmed = false;
      DragPictureOut();
      return;
    }
  }
  COleControl::OnMouseMove(nFlags, point);
}

void CTavletCtrl::OnLButtonUp(UINT nFlags, CPoint point) {
  m_bDragArmed = false;
  COleControl::OnLButtonUp(nFlags, point);
}

void CTavletCtrl::DragPictureOut() {
  const std::vector<BYTE> file = BitmapFileOf(m_hBitmap.get(), m_bitmapWidth, m_bitmapHeight);
  if (file.empty()) return;
  COleDataSource source;
  if (HGLOBAL dib = PackedDibBlockOf(file)) source.CacheGlobalData(CF_DIB, dib);
  // The file a file manager copies: what Save As would write.
  const std::string folder = Folders().Make();
  if (!folder.empty()) {
    const std::string path = folder + "/" + kDragFileName;
    CFile out;
    if (out.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) {
      out.Write(file.data(), static_cast<UINT>(file.size()));
      out.Close();
      if (HGLOBAL drop = DropFilesBlockOf(path)) source.CacheGlobalData(CF_HDROP, drop);
    }
  }
  source.DoDragDrop(DROPEFFECT_COPY);
}
