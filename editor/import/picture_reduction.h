#pragma once
// Reducing pictures to one set's palette, in the size and storage order of
// the set's images: by plain nearest colour, the editor's only way, or by
// error diffusion, which kestrow-cli offers as an option.

#include "editor/import/palette_matcher.h"
#include "editor/import/simd_level.h"
#include "editor/shapes/set_kinds.h"
#include "editor/shapes/set_palette.h"
#include "platform/base/handles.h"
#include "platform/base/win_types.h"

enum class ColourReduction {
  NearestColour,   // each pixel becomes its nearest entry (ConvertBitmapToPalette)
  ErrorDiffusion,  // Floyd-Steinberg (DitherBitmapToPalette)
};

// One matcher for the palette serves every picture reduced through it, so
// what it learns of the palette is learnt once per set.
class PictureReducer {
 public:
  // `colourCount` as ReadSetPalette returns it.
  PictureReducer(const SetPalette& palette, LONG colourCount, ColourReduction reduction,
                 SimdLevel level = BestSimdLevel());

  // Scales `bitmap` to `kind`'s image size and fills `output`
  // (kind.ImageBytes() bytes) with its indices in `kind`'s storage order.
  // The bitmap's own size is the source size (the image size when it cannot
  // be read); it is selected into the memory DC `sourceDc` while it is
  // converted, so it must not be selected into another DC. FALSE, with
  // `output` untouched, when it cannot be selected or the conversion fails.
  BOOL Reduce(BYTE* output, const SetKind& kind, HDC sourceDc, HBITMAP bitmap);

 private:
  SetPalette m_palette;
  ColourReduction m_reduction;
  PaletteMatcher m_matcher;
};
