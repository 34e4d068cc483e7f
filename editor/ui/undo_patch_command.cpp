// The window menu's Undo Last Patch: the newest patch of the chosen shapes
// file put back from its history, once the user has confirmed which one.

#include "editor/import/patch_undo.h"
#include "editor/ui/editor_messages.h"
#include "editor/ui/kestrow_dlg.h"
#include "editor/ui/shapes_file_command.h"
#include "platform/afx/prompts.h"

namespace {

std::vector<HistoryEntry> HistoryOf(const CString& path) {
  const PatchEnvironment env = DefaultPatchEnvironment();
  const std::optional<FileIdentity> file = env.files.Identify(path.str());
  return file ? ListHistory(env, path.str(), *file) : std::vector<HistoryEntry>();
}

}  // namespace

bool CKestrowDlg::HasPatchHistory() const { return !m_strShapesFile.IsEmpty() && !HistoryOf(m_strShapesFile).empty(); }

void CKestrowDlg::OnUndoLastPatch() {
  if (m_strShapesFile.IsEmpty()) return;
  const std::vector<HistoryEntry> history = HistoryOf(m_strShapesFile);
  if (history.empty()) {
    AfxMessageBox((m_strShapesFile.str() + " has no patch in its history to undo.").c_str(), MB_OK);
    return;
  }
  const HistoryEntry& newest = history.front();
  const std::string what =
      newest.kind == PatchKind::Apply ? "patch file applied to " : std::string(PatchKindName(newest.kind)) + " of ";
  const std::string question =
      "Undo the " + what + SetsText(newest.sets) + " made at " + LocalTimeText(newest.time) + "?";
  if (AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) return;

  ShapesFileCommand command(m_strShapesFile, ShapesFileUse::Patch);
  if (!command.Opened()) return;
  try {
    // Only the patch the user was asked about: one made meanwhile by
    // another program is refused.
    const UndoResult result = UndoPatches(command.File(), 1, newest.id);
    if (!result.committed.historyProblem.empty())
      AfxMessageBox(HistoryProblemMessage(m_strShapesFile.str(), result.committed.historyProblem).c_str(), MB_OK);
  } catch (const UndoRefusal& refusal) {
    AfxMessageBox(refusal.what(), MB_OK);
  }
}
