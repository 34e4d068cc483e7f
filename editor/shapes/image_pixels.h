#pragma once
// Locating an image of a block: its entry in the image offset table, its
// 26-byte image header, and its pixel data, which begins 32 + 4 x field 0
// bytes after the image header.

#include <array>

#include "editor/shapes/block_header.h"
#include "platform/base/win_types.h"
#include "platform/file/file.h"

constexpr int kImageHeaderFieldCount = 13;

struct ImageHeader {
  // Thirteen signed 16-bit fields. Field 0 fixes where the pixel data begins
  // (and is the height of textures and landscapes); field 1 is the width.
  std::array<SHORT, kImageHeaderFieldCount> fields{};
};

// Bytes from the start of an image header to its pixel data.
constexpr LONGLONG PixelDataDistance(SHORT field0) { return 32 + 4 * static_cast<LONGLONG>(field0); }

// Seeks to entry `image` of the block's image offset table and reads it: the
// offset of that image's header relative to the base offset.
LONG ReadImageOffset(CFile& file, const BlockHeader& block, int image);

// Seeks to base offset + `imageOffset` and reads the image header.
ImageHeader ReadImageHeader(CFile& file, const BlockHeader& block, LONG imageOffset);

// ReadBlockHeader, then the image offset entry and the image header of image
// `image`, then seeks to its pixel data and returns that file position. The
// image index is not compared with the image count: every position is
// checked against the file instead (CFileException when outside). A caller
// that writes must still check the whole byte range it writes with
// RequireInsideFile.
LONGLONG SeekImagePixels(CFile& file, int headerNumber, int image);
