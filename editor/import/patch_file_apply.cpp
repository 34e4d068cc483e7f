#include "editor/import/patch_file_apply.h"

void ReadWholeShapesFile(CFile& file, ShapesInMemory& shapes) {
  const ULONGLONG length = file.GetLength();
  shapes.length = static_cast<std::size_t>(length);
  shapes.buffer = std::make_unique_for_overwrite<BYTE[]>(shapes.length);
  file.SeekToBegin();
  if (length > 0 && file.Read(shapes.buffer.get(), static_cast<UINT>(length)) != length)
    throw CFileException(CFileException::endOfFile, 0, file.GetFilePath());
}

std::string ReadPatchFileBytes(const std::string& path, ULONGLONG shapesLength, std::vector<BYTE>& bytes) {
  CFile file;
  CFileException error;
  if (!file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyWrite, &error))
    return "Unable to open patch file " + path + " (" + error.ErrorMessage().str() + ")";
  try {
    const ULONGLONG length = file.GetLength();
    if (length > LargestPatchFile(shapesLength))
      return path + " is " + ByteCount(length) + " long, more than any patch of a shapes file of " +
             ByteCount(shapesLength) + " can be";
    bytes.resize(static_cast<std::size_t>(length));
    if (length > 0 && file.Read(bytes.data(), static_cast<UINT>(length)) != length)
      return "Unable to read patch file " + path + " (it ended early)";
  } catch (const CFileException& e) {
    return "Unable to read patch file " + path + " (" + e.ErrorMessage().str() + ")";
  }
  return {};
}

DecodedPatch CheckShapesPatch(const ShapesInMemory& shapes, std::span<const BYTE> patch) {
  DecodedPatch decoded = DecodeShapesPatch(shapes.Bytes(), shapes.layout, patch);
  if (std::string refusal = CheckPatchKeepsHeaders(decoded.summary); !refusal.empty()) throw PatchFileError(refusal);
  return decoded;
}

std::string UncheckedPatchWarning(const DecodedPatch& decoded, const std::string& patchPath) {
  if (decoded.description || decoded.checkedWindows >= decoded.windows) return {};
  return patchPath + " carries no checksum for some of what it makes: that part is not checked";
}

std::string CannotApplyText(const std::string& patchPath, const std::string& shapesPath, const std::string& reason) {
  return "Cannot apply " + patchPath + " to " + shapesPath + ": " + reason + "; nothing written";
}

std::vector<PatchedSet> PatchedSetsOf(const ChangeSummary& summary) {
  std::vector<PatchedSet> sets;
  for (const RegionChange& change : summary.regions) {
    // Only images are named; a colour table that changes names its set.
    const bool image = change.region.kind == RegionKind::Pixels && change.region.image < 32;
    AddPatchedSet(sets, {change.region.setIndex, image ? std::uint32_t{1} << change.region.image : 0});
  }
  return sets;
}

PatchCommitted CommitDecodedPatch(CFile& shapes, const DecodedPatch& decoded) {
  std::vector<FileRange> writes;
  writes.reserve(decoded.changes.ranges.size());
  auto next = decoded.changes.bytes.begin();
  for (const ChangedRange& range : decoded.changes.ranges) {
    const auto end = next + static_cast<std::ptrdiff_t>(range.length);
    writes.push_back({range.offset, std::vector<BYTE>(next, end)});
    next = end;
  }
  PatchSubject subject;
  subject.kind = PatchKind::Apply;
  subject.sets = PatchedSetsOf(decoded.summary);
  return CommitPatch(shapes, std::move(writes), subject);
}
