#pragma once
// Reading a whole set out of the shapes file as pictures: the set palette
// once, then every image of the set in slot order, each expanded through the
// palette into a pixel array (width x height values 0x00RRGGBB, rows
// bottom-up), the layout a drop control takes. The editor's Load Set hands
// each picture to its slot; the command-line tool writes them out. No user
// interface here: file errors propagate as CFileException.

#include <functional>

#include "platform/base/win_types.h"
#include "platform/file/file.h"

// One image of a set as a pixel array. The pixels belong to the reader and
// are overwritten by the next image: a sink copies what it keeps.
struct SetImagePixels {
  int image;   // 0 to 29 for a texture set (the slot index), 0 for a landscape
  int width;   // 128 or 512
  int height;  // 128 or 270
  const DWORD* pixels;
};
using SetImageSink = std::function<void(const SetImagePixels& picture)>;

// Reads set `setIndex` (0 to 7) from the open file: ReadSetPalette of its
// header number, with the gamma curve unless `noGammaCorrection`, then for
// each image in order SeekImagePixels, the image's 16384 or 138240 bytes and
// their expansion (column order for textures, bottom-up rows for
// landscapes), handed to `deliver`. One index buffer and one pixel array
// serve every image. Returns the colour count. A header, palette or image
// outside the file throws CFileException; the images delivered before it
// stay delivered. A set index outside 0 to 7 throws std::out_of_range.
LONG ReadSetImages(CFile& file, int setIndex, BOOL noGammaCorrection, const SetImageSink& deliver);
