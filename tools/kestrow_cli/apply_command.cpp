// apply SHAPES PATCH --output NEW: the shapes file that a patch file makes,
// ours or xdelta3's, checked before a byte is written.

#include "editor/import/shapes_patch.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/patch_files.h"

namespace {

// NEW, whole or not at all: SHAPES with the changes written over it, into
// a temporary file that replaces NEW once complete. (In place, the same
// changes go into SHAPES as one transaction instead.)
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

}  // namespace

int RunApplyCommand(const CliRequest& request, const CliOutput& output) {
  ShapesInMemory shapes;
  std::vector<BYTE> patch;
  if (!ReadShapesInMemory(request.shapesPath, shapes, output)) return kExitFailed;
  if (!ReadPatchFile(request.patchPath, shapes.length, patch, output)) return kExitFailed;

  const std::string cannot = "Cannot apply " + request.patchPath + " to " + request.shapesPath + ": ";
  DecodedPatch decoded;
  try {
    decoded = DecodeShapesPatch(shapes.Bytes(), shapes.layout, patch);
  } catch (const PatchFileError& e) {
    return output.Fail(cannot + e.what() + "; nothing written");
  }
  if (std::string refusal = CheckPatchKeepsHeaders(decoded.summary); !refusal.empty())
    return output.Fail(cannot + refusal + "; nothing written");
  if (!decoded.description && decoded.checkedWindows < decoded.windows)
    output.Warn(request.patchPath + " carries no checksum for some of what it makes: that part is not checked");
  patch = {};

  if (const int status = WritePatchedCopy(request, shapes, decoded.changes, output); status != kExitSuccess)
    return status;
  output.out << ChangeLines(decoded.summary, "changed ");
  output.out << "wrote " << request.newShapesPath << '\n';
  return kExitSuccess;
}
