#include "editor/import/set_patch.h"

#include "editor/import/convert_bitmap.h"
#include "editor/shapes/image_pixels.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/set_palette.h"
#include "platform/gdi/gdi.h"

namespace {

bool InsideFile(LONGLONG position, LONGLONG count, ULONGLONG length) {
  return position >= 0 && static_cast<ULONGLONG>(position) <= length &&
         static_cast<ULONGLONG>(count) <= length - static_cast<ULONGLONG>(position);
}

SIZE SourceSize(HBITMAP bitmap, const SetKind& kind) {
  BITMAP description{};
  if (GetObject(bitmap, sizeof description, &description) == 0) return SIZE{kind.width, kind.height};
  return SIZE{description.bmWidth, description.bmHeight};
}

// Reduces `bitmap` into `indices` through the source DC; false when it could
// not be selected there or the conversion failed.
bool Convert(HDC sourceDc, HBITMAP bitmap, const SetKind& kind, PaletteMatcher& matcher,
             std::vector<BYTE>& indices) {
  const SIZE size = SourceSize(bitmap, kind);
  kp::gdi::ScopedSelectObject select(sourceDc, bitmap);
  if (!select.ok()) return false;
  return ConvertBitmapToPalette(indices.data(), kind.width, kind.height, sourceDc, size.cx, size.cy,
                                kind.order == PixelOrder::bottomUpRows ? TRUE : FALSE, matcher) != FALSE;
}

}  // namespace

SetPatchResult PatchSetImages(CFile& file, int setIndex, BOOL noGammaCorrection, const PatchSourceBitmap& sourceOf,
                              const PatchReportSink& report) {
  const int headerNumber = SetHeaderNumbers.at(static_cast<std::size_t>(setIndex));
  const SetKind& kind = KindOfSet(setIndex);
  SetPatchResult result;

  kp::gdi::ScopedMemoryDC sourceDc(nullptr);
  if (!sourceDc) return result;
  result.sourceDcCreated = true;

  SetPalette palette{};
  result.colourCount = ReadSetPalette(file, headerNumber, palette, noGammaCorrection);
  // One matcher for the whole set: what it learns of the palette serves
  // every image.
  PaletteMatcher matcher(palette, static_cast<int>(result.colourCount));

  // First every source and where its image lies, so that a header that
  // cannot be read stops the patch before anything is written.
  struct Pending {
    HBITMAP source;
    LONGLONG position;
  };
  std::vector<Pending> pending(static_cast<std::size_t>(kind.imageCount), Pending{nullptr, -1});
  for (int image = 0; image < kind.imageCount; ++image) {
    Pending& p = pending[static_cast<std::size_t>(image)];
    p.source = sourceOf(image);
    if (p.source != nullptr) p.position = LocateImagePixels(file, headerNumber, image);
  }

  const LONGLONG imageBytes = kind.ImageBytes();
  const ULONGLONG length = file.GetLength();
  std::vector<BYTE> indices(static_cast<std::size_t>(imageBytes));
  for (int image = 0; image < kind.imageCount; ++image) {
    const Pending& p = pending[static_cast<std::size_t>(image)];
    PatchImageReport done{image, PatchImageOutcome::written, p.position};
    if (p.source == nullptr) {
      done.outcome = PatchImageOutcome::skippedEmpty;
    } else if (!InsideFile(p.position, imageBytes, length)) {
      done.outcome = PatchImageOutcome::outsideFile;
    } else if (!Convert(sourceDc.get(), p.source, kind, matcher, indices)) {
      done.outcome = PatchImageOutcome::conversionFailed;
    } else {
      file.Seek(p.position, CFile::begin);
      file.Write(indices.data(), static_cast<UINT>(indices.size()));
    }
    result.images.push_back(done);
    if (report) report(done);
  }
  return result;
}
