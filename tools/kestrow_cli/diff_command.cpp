// diff ORIGINAL MODIFIED OUT.vcdiff: the patch file that turns one shapes
// file into another, for sharing a mod without sharing the game's file.

#include "editor/import/shapes_patch.h"
#include "kestrow_version.h"
#include "tools/kestrow_cli/cli_commands.h"
#include "tools/kestrow_cli/patch_files.h"

int RunDiffCommand(const CliRequest& request, const CliOutput& output) {
  ShapesInMemory original;
  ShapesInMemory modified;
  if (!ReadShapesInMemory(request.shapesPath, original, output)) return kExitFailed;
  // MODIFIED's headers are ORIGINAL's where the two agree outside pixels,
  // which is all a patch may be made of: its bytes are compared instead.
  if (!ReadShapesInMemory(request.modifiedPath, modified, output, WithLayout::No)) return kExitFailed;

  const MadePatch patch = MakeShapesPatch(original.Bytes(), modified.Bytes(), original.layout,
                                          std::string(kProgramName) + " " + KESTROW_VERSION);
  if (!patch.refusal.empty())
    return output.Fail(request.shapesPath + " and " + request.modifiedPath + " " + patch.refusal +
                       ": a patch carries changed pictures only; nothing written");
  if (patch.description.images.empty())
    output.Warn(request.shapesPath + " and " + request.modifiedPath + " are the same; " + request.patchPath +
                " changes nothing");

  // Written whole or not at all: the temporary file replaces OUT.vcdiff
  // only once it is complete.
  CFile out;
  CFileException error;
  if (!out.Open(request.patchPath.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::modeReplaceOnClose, &error))
    return output.Fail("Unable to open file " + request.patchPath + " (" + error.ErrorMessage().str() + ")");
  try {
    out.Write(patch.bytes.data(), static_cast<UINT>(patch.bytes.size()));
    out.Close();
  } catch (const CFileException& e) {
    return output.Fail(e.ErrorMessage().str() + "; nothing written");
  }
  output.out << ImageLines(patch.description.images, "changes ") << "wrote " << request.patchPath << " ("
             << ByteCount(patch.bytes.size()) << ")\n";
  return kExitSuccess;
}
