// apply SHAPES PATCH [--output NEW]: a patch file, ours or xdelta3's,
// checked against SHAPES before a byte is written, then written into SHAPES
// in place as one patch that undo can take back, or into NEW.

#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/patch_files.h"

namespace {

// NEW, whole or not at all: SHAPES with the changes written over it, into
// a temporary file that replaces NEW once complete.
int WritePatchedCopy(const CliRequest& request, ShapesInMemory& shapes, const ChangedBytes& changes,
                     const CliOutput& output) {
  changes.ApplyTo(shapes.Bytes());
  CFile out;
  CFileException error;
  if (!out.Open(request.newShapesPath.c_str(),
                CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive | CFile::modeReplaceOnClose, &error))
    return output.Fail("Unable to open file " + request.newShapesPath + " (" + error.ErrorMessage().str() + ")");
  try {
    out.Write(shapes.buffer.get(), static_cast<UINT>(shapes.length));
    out.Close();
  } catch (const CFileException& e) {
    return output.Fail(e.ErrorMessage().str() + "; nothing written");
  }
  return kExitSuccess;
}

// SHAPES itself, still open for patching as import opens it, so that
// nobody writes it between the check and the patch.
int PatchInPlace(CFile& file, const DecodedPatch& decoded, const CliOutput& output) {
  PatchCommitted committed;
  try {
    committed = CommitDecodedPatch(file, decoded);
  } catch (const CFileException& e) {
    // PatchFailure says what became of SHAPES.
    return output.Fail(e.ErrorMessage().str());
  }
  file.Close();
  if (!committed.historyProblem.empty())
    output.Warn("the patch is not kept in the history, so it cannot be undone: " + committed.historyProblem);
  return kExitSuccess;
}

}  // namespace

int RunApplyCommand(const CliRequest& request, const CliOutput& output) {
  const bool inPlace = request.newShapesPath.empty();
  CFile file;
  ULONGLONG length = 0;
  if (!OpenShapesForCommand(file, request.shapesPath, inPlace ? ShapesFileUse::Patch : ShapesFileUse::LoadSet, output,
                            &length))
    return kExitFailed;
  ShapesInMemory shapes;
  std::vector<BYTE> patch;
  if (!ReadOpenShapesInMemory(file, request.shapesPath, shapes, output)) return kExitFailed;
  if (!inPlace) file.Close();
  if (!ReadPatchFile(request.patchPath, length, patch, output)) return kExitFailed;

  DecodedPatch decoded;
  try {
    decoded = CheckShapesPatch(shapes, patch);
  } catch (const PatchFileError& e) {
    return output.Fail(CannotApplyText(request.patchPath, request.shapesPath, e.what()));
  }
  if (std::string warning = UncheckedPatchWarning(decoded, request.patchPath); !warning.empty()) output.Warn(warning);
  patch = {};

  const int status =
      inPlace ? PatchInPlace(file, decoded, output) : WritePatchedCopy(request, shapes, decoded.changes, output);
  if (status != kExitSuccess) return status;
  // The lines come once the file is written, as import prints its images.
  output.out << ChangeLines(decoded.summary, "changed ");
  if (!inPlace) output.out << "wrote " << request.newShapesPath << '\n';
  return kExitSuccess;
}
