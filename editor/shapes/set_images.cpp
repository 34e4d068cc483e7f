#include "editor/shapes/set_images.h"

#include <vector>

#include "editor/shapes/image_pixels.h"
#include "editor/shapes/pixel_expansion.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/set_palette.h"

namespace {
using Expansion = void (*)(DWORD*, const BYTE*, const SetPalette&, int, int);

constexpr Expansion ExpansionFor(PixelOrder order) {
  return order == PixelOrder::Columns ? &ExpandColumnOrder : &ExpandRowOrder;
}
}  // namespace

LONG ReadSetImages(CFile& file, int setIndex, BOOL noGammaCorrection, const SetImageSink& deliver) {
  const int headerNumber = SetHeaderNumbers.at(static_cast<std::size_t>(setIndex));
  const SetKind& kind = KindOfSet(setIndex);

  // Entries the colour table does not fill show black.
  SetPalette palette{};
  const LONG colourCount = ReadSetPalette(file, headerNumber, palette, noGammaCorrection);

  std::vector<BYTE> indices(static_cast<std::size_t>(kind.ImageBytes()));
  std::vector<DWORD> pixels(indices.size());
  const Expansion expand = ExpansionFor(kind.order);
  for (int image = 0; image < kind.imageCount; ++image) {
    SeekImagePixels(file, headerNumber, image);
    file.Read(indices.data(), static_cast<UINT>(indices.size()));
    expand(pixels.data(), indices.data(), palette, kind.width, kind.height);
    deliver(SetImagePixels{image, kind.width, kind.height, pixels.data()});
  }
  return colourCount;
}
