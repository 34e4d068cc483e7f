// Fuzz target for reading a whole set and patching it back: the input is the
// shapes file, and its last byte chooses the set, the gamma flag, whether
// the whole set is read first (Load Set, as the editor does before a patch)
// and whether the pictures are dithered (as kestrow-cli may) or reduced to
// nearest colour (as the editor does). The patch writes a small bitmap into
// the first and the last image of the set; whatever the headers say, the
// file must keep its length and change only inside the pixel bytes of the
// images the patch reports as written, and the ranges a patch in place
// would hand its transaction must be exactly those. The images are written
// straight into the file, not through the transaction, which would keep
// every run in the user's patch history. The only exception allowed out is
// CFileException.
//
// Two images, not more: each one written is a whole image of pixel work,
// the same for every image, while the headers that place the two (the
// first and the last entry of the image table, or one entry they share)
// are what the input varies. Dithered, only the last: error diffusion costs
// more than all the rest of a run, and the first image's place is checked
// by the runs that reduce to nearest colour.

#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "editor/import/set_patch.h"
#include "editor/shapes/set_images.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/shapes_file_open.h"
#include "memory_file.h"
#include "platform/gdi/gdi.h"

namespace {

HBITMAP SourceBitmap() {
  static const std::uint32_t pixels[] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF, 0x00000000, 0x00808080};
  static const HBITMAP bitmap = kp::gdi::CreateBitmapFromPixels(3, 2, 32, pixels);
  return bitmap;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static MemoryFile shapes;
  shapes.Fill(data, size);
  const int set = size > 0 ? data[size - 1] % kSetCount : 0;
  const BOOL noGamma = size > 0 ? (data[size - 1] >> 3) & 1 : FALSE;
  const bool dither = size > 0 && ((data[size - 1] >> 4) & 1) != 0;
  // Reading every image of the set costs more than the rest of a run.
  const bool readFirst = size > 0 && ((data[size - 1] >> 5) & 1) != 0;

  std::vector<std::pair<LONGLONG, LONGLONG>> written;
  {
    CFile file;
    if (OpenShapesFile(file, shapes.Path(), ShapesFileUse::Patch).opened) {
      try {
        if (readFirst) ReadSetImages(file, set, noGamma, [](const SetImagePixels&) {});
      } catch (const CFileException&) {
      }
      const int last = KindOfSet(set).imageCount - 1;
      const auto sourceOf = [last, dither](int image) {
        return (image == 0 && !dither) || image == last ? SourceBitmap() : HBITMAP{};
      };
      const auto report = [&](const PatchImageReport& done) {
        if (done.outcome == PatchImageOutcome::Written) written.push_back({done.position, KindOfSet(set).ImageBytes()});
      };
      try {
        const ConvertedSet converted = ConvertSetImages(
            file, set, noGamma, sourceOf, dither ? ColourReduction::ErrorDiffusion : ColourReduction::NearestColour);
        WriteConvertedSet(file, converted, report);
        std::vector<FileRange> writes;
        PatchSubject subject;
        AddSetWrites(converted, writes, subject);
        if (writes.size() != written.size()) std::abort();
        for (std::size_t i = 0; i < writes.size(); ++i)
          if (static_cast<LONGLONG>(writes[i].offset) != written[i].first ||
              static_cast<LONGLONG>(writes[i].bytes.size()) != written[i].second)
            std::abort();
      } catch (const CFileException&) {
      }
      file.Close();
    }
  }

  const std::vector<BYTE> after = shapes.Contents();
  if (after.size() != size) std::abort();
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i] == data[i]) continue;
    bool owned = false;
    for (auto [start, count] : written)
      owned |= static_cast<LONGLONG>(i) >= start && static_cast<LONGLONG>(i) < start + count;
    if (!owned) std::abort();
  }
  return 0;
}
