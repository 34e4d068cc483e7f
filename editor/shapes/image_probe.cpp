#include "editor/shapes/image_probe.h"

#include <limits>

#include "editor/shapes/block_header.h"
#include "editor/shapes/file_position.h"
#include "editor/shapes/image_pixels.h"
#include "editor/shapes/pixel_expansion.h"
#include "editor/shapes/set_palette.h"

namespace {
// The shown image offset stops two bytes short of the pixel data.
constexpr LONGLONG kShownOffsetDistance = 30;
// A control takes an image's sides as signed 16-bit values.
constexpr LONGLONG kLargestSide = std::numeric_limits<SHORT>::max();
}  // namespace

int ClampImageNumber(int imageNumber, int imageCount) {
  if (imageNumber >= imageCount) imageNumber = imageCount - 1;
  if (imageNumber < 0) imageNumber = 0;
  return imageNumber;
}

LONG ShownImageOffset(LONG imageHeaderOffset, SHORT field0) {
  // Computed wide and cut back to 32 bits, so a damaged entry wraps instead
  // of overflowing.
  return static_cast<LONG>(static_cast<LONGLONG>(imageHeaderOffset) + kShownOffsetDistance +
                           4 * static_cast<LONGLONG>(field0));
}

ImageProbeValues ReadImageProbeValues(CFile& file, int headerNumber, int imageNumber) {
  const BlockHeader block = ReadBlockHeader(file, headerNumber);
  ImageProbeValues values;
  values.baseOffset = block.baseOffset;
  values.imageCount = block.imageCount;
  values.imageNumber = ClampImageNumber(imageNumber, block.imageCount);
  values.resHeaderOffset = block.imageTableOffset;
  values.imageHeaderOffset = ReadImageOffset(file, block, values.imageNumber);
  const ImageHeader header = ReadImageHeader(file, block, values.imageHeaderOffset);
  values.ySize = header.fields[0];
  values.xSize = header.fields[1];
  values.imageOffset = ShownImageOffset(values.imageHeaderOffset, header.fields[0]);
  return values;
}

ImageProbeSize ChooseImageProbeSize(int xSize, int ySize, ULONGLONG fileLength) {
  ImageProbeSize size;
  if (xSize < 0 && ySize < 0) return size;
  const LONGLONG count = static_cast<LONGLONG>(xSize) * ySize;
  if (count < 1) {
    size.fits = true;
    return size;
  }
  if (static_cast<ULONGLONG>(count) > fileLength || xSize > kLargestSide || ySize > kLargestSide) return size;
  size.fits = true;
  size.width = xSize;
  size.height = ySize;
  return size;
}

ProbedImage ReadProbedImage(CFile& file, int headerNumber, int imageNumber, int width, int height) {
  ProbedImage image;
  SetPalette palette{};
  image.colourCount = ReadSetPalette(file, headerNumber, palette, FALSE);

  const LONGLONG start = SeekImagePixels(file, headerNumber, imageNumber);
  const LONGLONG count = static_cast<LONGLONG>(width) * height;
  // The whole image must be in the file before a buffer is made for it, so
  // no size can ask for more memory than the file has bytes.
  RequireInsideFile(file, start, count);

  std::vector<BYTE> indices(static_cast<std::size_t>(count));
  file.Read(indices.data(), static_cast<UINT>(count));
  image.pixels.resize(static_cast<std::size_t>(count));
  ExpandColumnOrder(image.pixels.data(), indices.data(), palette, width, height);
  return image;
}
