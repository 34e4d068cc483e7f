// The window menu's patch files: Apply Patch File... writes the changes of a
// patch file into the chosen shapes file, once the user has seen what they
// are; Save Changes as Patch File... writes everything patched since the
// oldest state in the file's history as a patch file, to share a mod.

#include <filesystem>
#include <system_error>

#include "editor/import/history_state.h"
#include "editor/import/patch_file_apply.h"
#include "editor/ui/editor_messages.h"
#include "editor/ui/editor_settings.h"
#include "editor/ui/kestrow_dlg.h"
#include "editor/ui/shapes_file_command.h"
#include "kestrow_version.h"
#include "platform/afx/file_dialog.h"
#include "platform/afx/prompts.h"
#include "platform/registry/registry_helpers.h"

namespace {

constexpr char kPatchFileFilter[] = "Patch Files (*.vcdiff)|*.vcdiff|All Files (*.*)|*.*||";
// A confirmation lists this many parts at most; a patch of every set would
// not fit on the screen.
constexpr std::size_t kListedChanges = 12;

std::string FolderOf(const std::string& path) { return std::filesystem::path(path).parent_path().string(); }

// Where the patch-file dialogs open: where the last patch file was chosen,
// else beside the shapes file.
std::string PatchFolder(const std::string& shapesPath) {
  std::string folder;
  if (kp::registry::GetStringValue(HKEY_CURRENT_USER, kSettingsKey, kPatchFolderValue, &folder) == ERROR_SUCCESS &&
      !folder.empty())
    return folder;
  return FolderOf(shapesPath);
}

// What cannot be kept is only not remembered.
void RememberPatchFolder(const std::string& path) {
  kp::registry::SetStringValue(HKEY_CURRENT_USER, kSettingsKey, kPatchFolderValue, FolderOf(path));
}

std::optional<std::string> ChoosePatchFile(CWnd* owner, BOOL open, const std::string& title,
                                           const std::string& shapesPath, const char* name) {
  CFileDialog dlg(open, "vcdiff", name, OFN_HIDEREADONLY | (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT),
                  kPatchFileFilter, owner);
  dlg.m_ofn.lpstrTitle = title.c_str();
  const std::string folder = PatchFolder(shapesPath);
  if (!folder.empty()) dlg.m_ofn.lpstrInitialDir = folder.c_str();
  if (dlg.DoModal() != IDOK) return std::nullopt;
  const std::string path = dlg.GetPathName().str();
  RememberPatchFolder(path);
  return path;
}

// The shapes file read whole, with its layout, through `command`; false
// once the user has been told why it cannot be.
bool ReadShapes(ShapesFileCommand& command, const std::string& path, ShapesInMemory& shapes) {
  try {
    shapes.layout = ReadShapesLayout(command.File());
    ReadWholeShapesFile(command.File(), shapes);
  } catch (const CFileException& e) {
    AfxMessageBox(("Unable to read " + path + ": " + e.ErrorMessage().str()).c_str(), MB_OK | MB_ICONWARNING);
    return false;
  }
  return true;
}

// "Apply PATCH to SHAPES?" with what the patch changes.
std::string ApplyQuestion(const std::string& patchPath, const std::string& shapesPath, const DecodedPatch& decoded) {
  std::string text = "Apply " + patchPath + " to " + shapesPath + "?\n\n";
  if (decoded.description) text += "It was made by " + decoded.description->madeBy + " for this file.\n";
  ULONGLONG bytes = decoded.summary.otherBytes;
  for (const RegionChange& change : decoded.summary.regions) bytes += change.bytes;
  text += "It changes " + ByteCount(bytes) + ":\n";
  ChangeSummary listed = decoded.summary;
  const std::size_t parts = listed.regions.size() + (listed.otherBytes > 0 ? 1 : 0);
  if (parts > kListedChanges) {
    listed.regions.resize(kListedChanges - 1);
    listed.otherBytes = 0;
  }
  text += ChangeLines(listed, "");
  if (parts > kListedChanges) text += "and " + std::to_string(parts - (kListedChanges - 1)) + " more\n";
  if (const std::string warning = UncheckedPatchWarning(decoded, patchPath); !warning.empty())
    text += "\n" + warning + ".\n";
  return text;
}

}  // namespace

bool CKestrowDlg::HasShapesFile() const { return !m_strShapesFile.IsEmpty(); }

void CKestrowDlg::OnApplyPatchFile() {
  if (m_strShapesFile.IsEmpty()) return;
  const std::string shapesPath = m_strShapesFile.str();
  const std::optional<std::string> patchPath =
      ChoosePatchFile(this, TRUE, "Choose the patch file to apply to " + shapesPath, shapesPath, nullptr);
  if (!patchPath) return;

  // The file is checked, the user asked, and only then is it opened again
  // for the patch: nothing stays locked, and no wait cursor shows, while the
  // question waits. Its digest tells whether it changed in between.
  ShapesInMemory shapes;
  DecodedPatch decoded;
  kp::base::Sha256Digest checked{};
  {
    ShapesFileCommand command(m_strShapesFile, ShapesFileUse::LoadSet);
    if (!command.Opened() || !ReadShapes(command, shapesPath, shapes)) return;
    std::vector<BYTE> patch;
    if (std::string problem = ReadPatchFileBytes(*patchPath, shapes.length, patch); !problem.empty()) {
      AfxMessageBox(problem.c_str(), MB_OK | MB_ICONWARNING);
      return;
    }
    try {
      decoded = CheckShapesPatch(shapes, patch);
    } catch (const PatchFileError& e) {
      AfxMessageBox(CannotApplyText(*patchPath, shapesPath, e.what()).c_str(), MB_OK | MB_ICONWARNING);
      return;
    }
    checked = kp::base::Sha256Of(shapes.Bytes());
  }
  if (decoded.changes.ranges.empty()) {
    AfxMessageBox((*patchPath + " changes nothing in " + shapesPath + ".").c_str(), MB_OK);
    return;
  }
  if (AfxMessageBox(ApplyQuestion(*patchPath, shapesPath, decoded).c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;

  {
    ShapesFileCommand command(m_strShapesFile, ShapesFileUse::Patch);
    if (!command.Opened() || !ReadShapes(command, shapesPath, shapes)) return;
    if (kp::base::Sha256Of(shapes.Bytes()) != checked) {
      AfxMessageBox(CannotApplyText(*patchPath, shapesPath, "the shapes file was changed since it was checked").c_str(),
                    MB_OK | MB_ICONWARNING);
      return;
    }
    try {
      const PatchCommitted committed = CommitDecodedPatch(command.File(), decoded);
      if (!committed.historyProblem.empty())
        AfxMessageBox(HistoryProblemMessage(shapesPath, committed.historyProblem).c_str(), MB_OK);
    } catch (const CFileException& e) {
      // PatchFailure says what became of the file.
      AfxMessageBox(e.ErrorMessage(), MB_OK | MB_ICONWARNING);
      return;
    }
  }
  if (!m_bSetLoaded) return;
  UpdateData(TRUE);
  if (m_nSet < 0 || m_nSet >= kSetCount) return;
  const std::string reload = std::string("Load ") + kSetListStrings.at(static_cast<std::size_t>(m_nSet)) +
                             " again, to show the images as the patch left them?";
  if (AfxMessageBox(reload.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES) OnLoadSet();
}

void CKestrowDlg::OnSaveChangesAsPatchFile() {
  if (m_strShapesFile.IsEmpty()) return;
  const std::string shapesPath = m_strShapesFile.str();
  ShapesInMemory shapes;
  HistoryState oldest;
  {
    ShapesFileCommand command(m_strShapesFile, ShapesFileUse::LoadSet);
    if (!command.Opened() || !ReadShapes(command, shapesPath, shapes)) return;
    try {
      oldest = OldestHistoryState(DefaultPatchEnvironment(), shapesPath, BorrowOpenFile(command.File())->Identity(),
                                  shapes.Bytes());
    } catch (const HistoryStateRefusal& refusal) {
      AfxMessageBox((std::string(refusal.what()) + " No patch file was written.").c_str(), MB_OK | MB_ICONWARNING);
      return;
    }
  }
  if (std::equal(oldest.bytes.begin(), oldest.bytes.end(), shapes.buffer.get())) {
    AfxMessageBox(
        (shapesPath + " holds what it held before the patches in its history: there are no changes to save.").c_str(),
        MB_OK);
    return;
  }
  const MadePatch made =
      MakeShapesPatch(oldest.bytes, shapes.Bytes(), shapes.layout, std::string("kestrow ") + KESTROW_VERSION);
  if (!made.refusal.empty()) {
    AfxMessageBox(("Cannot save the changes of " + shapesPath +
                   " as a patch file: the file before its patches and the file now " + made.refusal +
                   ". No patch file was written.")
                      .c_str(),
                  MB_OK | MB_ICONWARNING);
    return;
  }

  const std::string name = std::filesystem::path(shapesPath).stem().string() + ".vcdiff";
  const std::optional<std::string> patchPath =
      ChoosePatchFile(this, FALSE, "Save the changes of " + shapesPath + " as a patch file", shapesPath, name.c_str());
  if (!patchPath) return;
  std::error_code same;
  if (std::filesystem::equivalent(*patchPath, shapesPath, same)) {
    AfxMessageBox((*patchPath + " is the shapes file itself; choose another file.").c_str(), MB_OK | MB_ICONWARNING);
    return;
  }
  // Whole or not at all: a temporary file beside it replaces it once
  // complete.
  CFile out;
  CFileException error;
  if (!out.Open(patchPath->c_str(),
                CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::modeReplaceOnClose, &error)) {
    AfxMessageBox(("Unable to open file " + *patchPath + " (" + error.ErrorMessage().str() + ")").c_str(),
                  MB_OK | MB_ICONWARNING);
    return;
  }
  try {
    out.Write(made.bytes.data(), static_cast<UINT>(made.bytes.size()));
    out.Close();
  } catch (const CFileException& e) {
    AfxMessageBox((e.ErrorMessage().str() + "; no patch file was written").c_str(), MB_OK | MB_ICONWARNING);
  }
}
