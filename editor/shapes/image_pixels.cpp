#include "editor/shapes/image_pixels.h"

#include "editor/shapes/big_endian.h"
#include "editor/shapes/file_position.h"

LONG ReadImageOffset(CFile& file, const BlockHeader& block, int image) {
  SeekInsideFile(file, static_cast<LONGLONG>(block.baseOffset) + block.imageTableOffset + 4LL * image);
  return ReadBigEndian32(file);
}

ImageHeader ReadImageHeader(CFile& file, const BlockHeader& block, LONG imageOffset) {
  SeekInsideFile(file, static_cast<LONGLONG>(block.baseOffset) + imageOffset);
  // In one piece, as the block header is.
  BYTE fields[2 * kImageHeaderFieldCount];
  file.Read(fields, sizeof fields);
  ImageHeader header;
  for (std::size_t i = 0; i < header.fields.size(); ++i) header.fields[i] = BigEndian16(fields + 2 * i);
  return header;
}

LONGLONG LocateImagePixels(CFile& file, int headerNumber, int image) {
  BlockHeader block = ReadBlockHeader(file, headerNumber);
  LONG imageOffset = ReadImageOffset(file, block, image);
  ImageHeader header = ReadImageHeader(file, block, imageOffset);
  return static_cast<LONGLONG>(block.baseOffset) + imageOffset + PixelDataDistance(header.fields[0]);
}

LONGLONG SeekImagePixels(CFile& file, int headerNumber, int image) {
  LONGLONG pixels = LocateImagePixels(file, headerNumber, image);
  SeekInsideFile(file, pixels);
  return pixels;
}
