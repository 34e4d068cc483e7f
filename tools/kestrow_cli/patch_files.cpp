#include "tools/kestrow_cli/patch_files.h"

bool ReadShapesInMemory(const std::string& path, ShapesInMemory& shapes, const CliOutput& output,
                        WithLayout withLayout) {
  CFile file;
  if (!OpenShapesForCommand(file, path, ShapesFileUse::LoadSet, output)) return false;
  return ReadOpenShapesInMemory(file, path, shapes, output, withLayout);
}

bool ReadOpenShapesInMemory(CFile& file, const std::string& path, ShapesInMemory& shapes, const CliOutput& output,
                            WithLayout withLayout) {
  try {
    if (withLayout == WithLayout::Yes) shapes.layout = ReadShapesLayout(file);
  } catch (const CFileException& e) {
    output.Fail("The headers of " + path + " do not fit the file: " + e.ErrorMessage().str());
    return false;
  }
  try {
    ReadWholeShapesFile(file, shapes);
  } catch (const CFileException& e) {
    output.Fail("Unable to read " + path + " (" + e.ErrorMessage().str() + ")");
    return false;
  }
  return true;
}

bool ReadPatchFile(const std::string& path, ULONGLONG shapesLength, std::vector<BYTE>& bytes, const CliOutput& output) {
  if (std::string problem = ReadPatchFileBytes(path, shapesLength, bytes); !problem.empty()) {
    output.Fail(problem);
    return false;
  }
  return true;
}
