#include "tools/kestrow_cli/patch_files.h"

bool ReadShapesInMemory(const std::string& path, ShapesInMemory& shapes, const CliOutput& output,
                        WithLayout withLayout) {
  CFile file;
  ULONGLONG length = 0;
  if (!OpenShapesForCommand(file, path, ShapesFileUse::LoadSet, output, &length)) return false;
  try {
    if (withLayout == WithLayout::Yes) shapes.layout = ReadShapesLayout(file);
  } catch (const CFileException& e) {
    output.Fail("The headers of " + path + " do not fit the file: " + e.ErrorMessage().str());
    return false;
  }
  shapes.length = static_cast<std::size_t>(length);
  shapes.buffer = std::make_unique_for_overwrite<BYTE[]>(shapes.length);
  file.SeekToBegin();
  if (length > 0) file.Read(shapes.buffer.get(), static_cast<UINT>(length));
  file.Close();
  return true;
}

bool ReadPatchFile(const std::string& path, ULONGLONG shapesLength, std::vector<BYTE>& bytes, const CliOutput& output) {
  CFile file;
  CFileException error;
  if (!file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite, &error)) {
    output.Fail("Unable to open patch file " + path + " (" + error.ErrorMessage().str() + ")");
    return false;
  }
  const ULONGLONG length = file.GetLength();
  if (length > LargestPatchFile(shapesLength)) {
    output.Fail(path + " is " + ByteCount(length) + " long, more than any patch of a shapes file of " +
                ByteCount(shapesLength) + " can be");
    return false;
  }
  bytes.resize(static_cast<std::size_t>(length));
  if (length > 0) file.Read(bytes.data(), static_cast<UINT>(length));
  return true;
}

std::string ByteCount(ULONGLONG bytes) { return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes"); }

std::string ChangeLines(const ChangeSummary& summary, const std::string& prefix) {
  std::string lines;
  for (const RegionChange& change : summary.regions)
    lines += prefix + RegionName(change.region) + ": " + ByteCount(change.bytes) + "\n";
  if (summary.otherBytes > 0)
    lines += prefix + "other bytes, from offset " + std::to_string(summary.firstOther) + ": " +
             ByteCount(summary.otherBytes) + "\n";
  return lines;
}
