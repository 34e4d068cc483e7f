// Drawing the selected set's palette into the preview; with Ctrl and Shift
// held, revealing the Image Finder button instead.

#include <memory>

#include "editor/import/palette_picture.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/set_palette.h"
#include "editor/ui/editor_ids.h"
#include "editor/ui/kestrow_dlg.h"
#include "editor/ui/shapes_file_command.h"
#include "platform/user/window_functions.h"

namespace {
bool KeyDown(int virtualKey) { return (::GetKeyState(virtualKey) & 0x8000) != 0; }
}  // namespace

void CKestrowDlg::OnGeneratePaletteBitmap() {
  if (KeyDown(VK_CONTROL) && KeyDown(VK_SHIFT)) {
    if (CWnd* pButton = GetDlgItem(IDC_IMAGE_FINDER)) pButton->ShowWindow(SW_SHOW);
    return;
  }

  // No data exchange here: the set and the gamma flag are those the dialog
  // took at its last exchange.
  ShapesFileCommand command(m_strShapesFile, ShapesFileUse::GeneratePaletteBitmap);
  if (!command.Opened()) return;
  SetPalette palette{};
  const LONG colourCount =
      ReadSetPalette(command.File(), SetHeaderNumbers.at(static_cast<std::size_t>(m_nSet)), palette, m_bDisableGamma);
  command.File().Close();

  auto picture = std::make_unique<PalettePicture>();
  FillPalettePicture(*picture, palette, colourCount);
  m_wndPreview.RecreateBitmap(reinterpret_cast<LONG*>(picture->data()), kPalettePictureSize, kPalettePictureSize);
}
