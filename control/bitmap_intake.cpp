// The four ways a bitmap comes into the control (a file dropped on its
// window, a file its container names, 32-bit pixels, a bitmap handle) and
// the step they all end in.

#include <cstring>
#include <string>

#include "control/bitmap_folders.h"
#include "control/tavlet_ctrl.h"
#include "control/tavlet_messages.h"
#include "platform/afx/prompts.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/load_image.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/scoped_gdi.h"
#include "platform/qt/drop_files.h"

namespace {

// Bitmaps are stored at 72 dots per inch.
constexpr LONG kPixelsPerMetre = 2835;

// Loads a bitmap file by its content, at its own size and depth, and
// describes it; null (nothing kept) when either fails.
HBITMAP LoadBitmapFile(LPCTSTR path, BITMAP& description) {
  kp::gdi::ScopedBitmap loaded(
      static_cast<HBITMAP>(::LoadImage(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  if (!loaded) return nullptr;
  if (::GetObject(loaded.get(), sizeof description, &description) != static_cast<int>(sizeof description))
    return nullptr;
  return loaded.release();
}

}  // namespace

int CTavletCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (COleControl::OnCreate(lpCreateStruct) == -1) return -1;
  // Decided once: putting the property later leaves the window as it is.
  m_bTakesDrops = m_initiallyDroppable;
  DragAcceptFiles(m_bTakesDrops);
  return 0;
}

void CTavletCtrl::OnDropFiles(HDROP hDropInfo) {
  TakeDroppedFile(hDropInfo);
  // The default handling releases the drop.
  COleControl::OnDropFiles(hDropInfo);
}

void CTavletCtrl::TakeDroppedFile(HDROP hDrop) {
  HBITMAP loaded = nullptr;
  BITMAP description{};
  std::string path;
  // Only the first file of a drop counts.
  const UINT length = ::DragQueryFile(hDrop, 0, nullptr, 0);
  if (length != 0) {
    path.assign(length, '\0');
    ::DragQueryFile(hDrop, 0, path.data(), length + 1);
    loaded = LoadBitmapFile(path.c_str(), description);
  }
  if (loaded == nullptr) {
    AfxMessageBox(tavlet::kInvalidDropMessage);
    return;
  }
  // Save As opens where the user's bitmaps come from until one is saved.
  tavlet::RememberFolderOf(tavlet::kOpenedBitmapsFolder, path);
  AdoptBitmap(loaded, description.bmWidth, description.bmHeight);
}

BOOL CTavletCtrl::RecreateBitmapFromFile(LPCTSTR pathname) {
  BITMAP description{};
  HBITMAP loaded = pathname != nullptr ? LoadBitmapFile(pathname, description) : nullptr;
  if (loaded == nullptr) return FALSE;
  AdoptBitmap(loaded, description.bmWidth, description.bmHeight);
  return TRUE;
}

BOOL CTavletCtrl::RecreateBitmap(LONG* rgb, SHORT sx, SHORT sy) {
  const LONG width = sx;
  const LONG height = sy;
  // A missing array has nothing to copy from.
  if (width <= 0 || height <= 0 || rgb == nullptr) return FALSE;

  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, kPixelsPerMetre, kPixelsPerMetre, 0, 0};
  void* pixels = nullptr;
  kp::gdi::ScopedBitmap made(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  if (pixels != nullptr) {
    // The caller's array has the section's own layout: bottom-up rows of
    // 0x00RRGGBB, so one block copy is all it takes.
    ::GdiFlush();
    std::memcpy(pixels, rgb, std::size_t{4} * static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    ::GdiFlush();
  }
  if (!made) return FALSE;
  AdoptBitmap(made.release(), width, height);
  return TRUE;
}

LONG CTavletCtrl::GetBitmapHandle() { return static_cast<LONG>(HandleToLong32(m_hBitmap.get())); }

BOOL CTavletCtrl::SetBitmapHandle(LONG hbm) {
  if (hbm == 0) return FALSE;
  const auto handed = Long32ToHandle<HBITMAP>(static_cast<std::uint32_t>(hbm));
  BITMAP description{};
  // A pen or brush describes itself too; only a bitmap is taken.
  if (::GetObjectType(handed) != OBJ_BITMAP ||
      ::GetObject(handed, sizeof description, &description) != static_cast<int>(sizeof description)) {
    ::DeleteObject(handed);
    return FALSE;
  }
  AdoptBitmap(handed, description.bmWidth, description.bmHeight);
  return TRUE;
}

void CTavletCtrl::AdoptBitmap(HBITMAP hbm, LONG width, LONG height) {
  m_bitmapWidth = width;
  m_bitmapHeight = height;
  // Handed its own bitmap again (SetBitmapHandle), the control keeps it.
  if (m_hBitmap.get() != hbm) m_hBitmap.reset(hbm);
  InvalidateControl(nullptr, TRUE);
  FireBmpChange();
}
