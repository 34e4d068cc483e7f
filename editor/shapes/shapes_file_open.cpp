#include "editor/shapes/shapes_file_open.h"

#include "editor/shapes/set_kinds.h"

namespace {
struct UseFlags {
  ShapesFileUse use;
  UINT flags;
};

constexpr UseFlags kUseFlags[] = {
    {ShapesFileUse::LoadSet, CFile::modeRead | CFile::shareDenyWrite},
    {ShapesFileUse::ImageFinder, CFile::modeRead | CFile::shareDenyWrite},
    {ShapesFileUse::Patch, CFile::modeReadWrite | CFile::shareExclusive},
    {ShapesFileUse::GeneratePaletteBitmap, CFile::modeRead | CFile::shareExclusive},
};
}  // namespace

UINT ShapesFileOpenFlags(ShapesFileUse use) {
  for (const UseFlags& entry : kUseFlags)
    if (entry.use == use) return entry.flags;
  // Every enumerator has a row; an unknown value gets the narrowest access.
  return CFile::modeRead | CFile::shareExclusive;
}

ShapesFileOpenResult OpenShapesFile(CFile& file, LPCTSTR path, ShapesFileUse use) {
  ShapesFileOpenResult result;
  if (!file.Open(path, ShapesFileOpenFlags(use), &result.error)) return result;
  result.opened = true;
  result.length = file.GetLength();
  result.expectedSize = result.length == kExpectedShapesFileSize;
  return result;
}
