#include "editor/import/palette_picture.h"

void FillPalettePicture(PalettePicture& picture, const SetPalette& palette, LONG count) {
  const int n = UsablePaletteEntries(count);
  if (n == 0) {
    // No band height exists for a count of 0, and nothing is drawn for a
    // negative one.
    picture.fill(0);
    return;
  }
  const int bandRows = 4096 / n;
  int first = 0;  // entry in cell 0 of the current band
  int rowsLeft = bandRows;
  for (int row = 0; row < kPalettePictureSize; ++row) {
    DWORD* pixels = picture.data() + row * kPalettePictureSize;
    for (int x = 0; x < kPalettePictureSize; ++x) {
      const int entry = first + x / 16;
      pixels[x] = entry < n ? palette[static_cast<std::size_t>(entry)] : 0;
    }
    if (--rowsLeft == 0) {
      rowsLeft = bandRows;
      first += 16;
    }
  }
}
