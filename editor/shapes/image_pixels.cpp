#include "editor/shapes/image_pixels.h"

#include "editor/shapes/big_endian.h"
#include "editor/shapes/file_position.h"

LONG ReadImageOffset(CFile& file, const BlockHeader& block, int image) {
  SeekInsideFile(file, static_cast<LONGLONG>(block.baseOffset) + block.imageTableOffset + 4LL * image);
  return ReadBigEndian32(file);
}

ImageHeader ReadImageHeader(CFile& file, const BlockHeader& block, LONG imageOffset) {
  SeekInsideFile(file, static_cast<LONGLONG>(block.baseOffset) + imageOffset);
  ImageHeader header;
  for (SHORT& field : header.fields) field = ReadBigEndian16(file);
  return header;
}

LONGLONG SeekImagePixels(CFile& file, int headerNumber, int image) {
  BlockHeader block = ReadBlockHeader(file, headerNumber);
  LONG imageOffset = ReadImageOffset(file, block, image);
  ImageHeader header = ReadImageHeader(file, block, imageOffset);
  LONGLONG pixels =
      static_cast<LONGLONG>(block.baseOffset) + imageOffset + PixelDataDistance(header.fields[0]);
  SeekInsideFile(file, pixels);
  return pixels;
}
