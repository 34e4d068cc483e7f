// Writing the slots back into the selected set of the shapes file.

#include "editor/import/set_patch.h"
#include "editor/shapes/slot_layout.h"
#include "editor/ui/editor_messages.h"
#include "editor/ui/kestrow_dlg.h"
#include "editor/ui/shapes_file_command.h"
#include "platform/afx/prompts.h"

namespace {

// What the user is told about an image that was not written: a texture by
// its number, column and row, the landscape as such. An image written, and
// an empty texture slot, are not mentioned.
struct OutcomeMessage {
  PatchImageOutcome outcome;
  const char* textureFormat;  // with k, column, row; null for no message
  const char* landscapeText;
};
constexpr OutcomeMessage kOutcomeMessages[] = {
    {PatchImageOutcome::SkippedEmpty, nullptr, kLandscapeWriteFailedMessage},
    {PatchImageOutcome::ConversionFailed, kTextureWriteFailedFormat, kLandscapeWriteFailedMessage},
    {PatchImageOutcome::OutsideFile, kTextureOutsideFileFormat, kLandscapeOutsideFileMessage},
};

CString PatchMessage(const PatchImageReport& report, bool bLandscape) {
  CString text;
  for (const OutcomeMessage& entry : kOutcomeMessages) {
    if (entry.outcome != report.outcome) continue;
    const int k = report.image;
    if (bLandscape)
      text = entry.landscapeText;
    else if (entry.textureFormat != nullptr)
      text.Format(entry.textureFormat, k, SlotColumn(k), SlotRow(k));
  }
  return text;
}

}  // namespace

void CKestrowDlg::OnPatchShapesFile() {
  UpdateData(TRUE);
  ShapesFileCommand command(m_strShapesFile, ShapesFileUse::Patch);
  if (!command.Opened()) return;

  const bool bLandscape = IsLandscapeSet(m_nSet);
  auto sourceOf = [&](int image) -> HBITMAP {
    CTavlet* pControl = bLandscape ? &m_wndLandscape : FindSlotControl(SlotControlIds[static_cast<std::size_t>(image)]);
    // The bitmap stays the control's; it is only borrowed for the patch.
    return pControl != nullptr ? Long32ToHandle<HBITMAP>(static_cast<DWORD>(pControl->GetBitmapHandle())) : nullptr;
  };
  auto report = [&](const PatchImageReport& done) {
    const CString text = PatchMessage(done, bLandscape);
    if (!text.IsEmpty()) AfxMessageBox(text, MB_OK);
  };
  // A write that fails throws PatchFailure, which the framework shows: the
  // file's error and that nothing in the file was changed.
  const SetPatchResult result = PatchSetImages(command.File(), m_nSet, m_bDisableGamma, sourceOf, report);
  if (!result.sourceDcCreated) AfxMessageBox(kSourceDcFailedMessage, MB_OK);
  if (!result.committed.historyProblem.empty())
    AfxMessageBox(HistoryProblemMessage(m_strShapesFile.str(), result.committed.historyProblem).c_str(), MB_OK);
}
