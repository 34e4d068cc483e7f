#include "tools/kestrow_cli/patch_target.h"

#include <sys/stat.h>

#include <algorithm>
#include <vector>

bool NamesSameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string CheckOutputIsAnotherFile(const CliRequest& request) {
  // diff's OUT.vcdiff replaces the file it names: never one it reads.
  if (!request.modifiedPath.empty())
    for (const std::string* input : {&request.shapesPath, &request.modifiedPath})
      if (NamesSameFile(*input, request.patchPath))
        return "OUT.vcdiff " + request.patchPath + " is " + *input + " itself; OUT.vcdiff must be another file";
  // A picture saved over SHAPES (palette, convert, probe) would replace the
  // game's file with a bitmap.
  if (!request.outputPath.empty() && NamesSameFile(request.shapesPath, request.outputPath))
    return "OUT.bmp " + request.outputPath + " is the shapes file itself; OUT.bmp must be another file";
  if (request.newShapesPath.empty() || !NamesSameFile(request.shapesPath, request.newShapesPath)) return {};
  return "--output " + request.newShapesPath + " is the shapes file itself; NEW must be another file";
}

bool PatchTarget::Open(const CliOutput& output) {
  if (!WritesNewFile()) return OpenShapesForCommand(m_shapes, m_request.shapesPath, ShapesFileUse::Patch, output);

  // SHAPES is only read, with the sharing of Load Set: others may read it
  // meanwhile, nobody may write it.
  if (!OpenShapesForCommand(m_shapes, m_request.shapesPath, ShapesFileUse::LoadSet, output)) return false;
  CFileException error;
  if (!m_new.Open(m_request.newShapesPath.c_str(),
                  CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive | CFile::modeReplaceOnClose,
                  &error)) {
    output.Fail("Unable to open file " + m_request.newShapesPath + " (" + error.ErrorMessage().str() + ")");
    return false;
  }
  // A short read or a failed write throws; the temporary file then goes.
  std::vector<BYTE> buffer(1 << 20);
  for (ULONGLONG left = m_shapes.GetLength(); left > 0;) {
    const auto count = static_cast<UINT>(std::min<ULONGLONG>(left, buffer.size()));
    m_shapes.Read(buffer.data(), count);
    m_new.Write(buffer.data(), count);
    left -= count;
  }
  return true;
}

void PatchTarget::Commit() {
  if (WritesNewFile()) m_new.Close();
  m_shapes.Close();
}
