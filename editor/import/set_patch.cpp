#include "editor/import/set_patch.h"

#include "editor/shapes/image_pixels.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/set_palette.h"
#include "platform/gdi/gdi.h"

namespace {

bool InsideFile(LONGLONG position, LONGLONG count, ULONGLONG length) {
  return position >= 0 && static_cast<ULONGLONG>(position) <= length &&
         static_cast<ULONGLONG>(count) <= length - static_cast<ULONGLONG>(position);
}

}  // namespace

ConvertedSet ConvertSetImages(CFile& file, int setIndex, BOOL noGammaCorrection, const PatchSourceBitmap& sourceOf,
                              ColourReduction reduction) {
  const int headerNumber = SetHeaderNumbers.at(static_cast<std::size_t>(setIndex));
  const SetKind& kind = KindOfSet(setIndex);
  ConvertedSet converted;
  converted.setIndex = setIndex;

  kp::gdi::ScopedMemoryDC sourceDc(nullptr);
  if (!sourceDc) return converted;
  converted.sourceDcCreated = true;

  SetPalette palette{};
  converted.colourCount = ReadSetPalette(file, headerNumber, palette, noGammaCorrection);

  // First every source and where its image lies, so that a header that
  // cannot be read stops before any work is done.
  std::vector<HBITMAP> sources(static_cast<std::size_t>(kind.imageCount), nullptr);
  converted.images.resize(sources.size());
  for (int image = 0; image < kind.imageCount; ++image) {
    const auto i = static_cast<std::size_t>(image);
    sources[i] = sourceOf(image);
    const LONGLONG position = sources[i] != nullptr ? LocateImagePixels(file, headerNumber, image) : -1;
    converted.images[i].report = PatchImageReport{image, PatchImageOutcome::Written, position};
  }

  // One reducer for the whole set: what its matcher learns of the palette
  // serves every image.
  PictureReducer reducer(palette, converted.colourCount, reduction);
  const ULONGLONG length = file.GetLength();
  for (std::size_t i = 0; i < sources.size(); ++i) {
    ConvertedImage& image = converted.images[i];
    if (sources[i] == nullptr) {
      image.report.outcome = PatchImageOutcome::SkippedEmpty;
    } else if (!InsideFile(image.report.position, kind.ImageBytes(), length)) {
      image.report.outcome = PatchImageOutcome::OutsideFile;
    } else {
      image.indices.resize(static_cast<std::size_t>(kind.ImageBytes()));
      if (!reducer.Reduce(image.indices.data(), kind, sourceDc.get(), sources[i])) {
        image.report.outcome = PatchImageOutcome::ConversionFailed;
        image.indices.clear();
      }
    }
  }
  return converted;
}

std::vector<PatchImageReport> WriteConvertedSet(CFile& file, const ConvertedSet& converted,
                                                const PatchReportSink& report) {
  std::vector<PatchImageReport> done;
  for (const ConvertedImage& image : converted.images) {
    if (image.report.outcome == PatchImageOutcome::Written) {
      file.Seek(image.report.position, CFile::begin);
      file.Write(image.indices.data(), static_cast<UINT>(image.indices.size()));
    }
    done.push_back(image.report);
    if (report) report(image.report);
  }
  return done;
}

void AddSetWrites(const ConvertedSet& converted, std::vector<FileRange>& writes, PatchSubject& subject) {
  std::uint32_t images = 0;
  for (const ConvertedImage& image : converted.images) {
    if (image.report.outcome != PatchImageOutcome::Written) continue;
    writes.push_back({static_cast<std::uint64_t>(image.report.position), image.indices});
    images |= 1u << image.report.image;
  }
  if (images != 0) subject.sets.push_back({converted.setIndex, images});
}

SetPatchResult PatchSetImages(CFile& file, int setIndex, BOOL noGammaCorrection, const PatchSourceBitmap& sourceOf,
                              const PatchReportSink& report) {
  const ConvertedSet converted = ConvertSetImages(file, setIndex, noGammaCorrection, sourceOf);
  SetPatchResult result;
  result.sourceDcCreated = converted.sourceDcCreated;
  result.colourCount = converted.colourCount;
  if (!converted.sourceDcCreated) return result;
  for (const ConvertedImage& image : converted.images) {
    result.images.push_back(image.report);
    if (report) report(image.report);
  }
  std::vector<FileRange> writes;
  PatchSubject subject;
  AddSetWrites(converted, writes, subject);
  result.committed = CommitPatch(file, std::move(writes), subject);
  return result;
}
