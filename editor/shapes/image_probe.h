#pragma once
// The Image Finder's probe of any image of any header: what the headers say
// about the image (its offsets and sizes), and the image itself, taken as
// X Size columns of Y Size palette indices through the block's
// gamma-corrected palette. No user interface here: the dialog shows the
// values and messages, and a command-line tool can print them.
//
// Every position is checked against the file, so a damaged header or a
// typed header or image number that points outside the file throws
// CFileException; nothing else escapes.

#include <vector>

#include "platform/base/win_types.h"
#include "platform/file/file.h"

// Shown when the sizes cannot make an image of this file (%d: X and Y Size).
inline constexpr char kImageProbeSizeRefusedFormat[] = "Image size %d x %d does not fit in the selected shapes file";

// What the headers give for image `imageNumber` of block `headerNumber`. The
// offsets are relative to the base offset, as the dialog shows them.
struct ImageProbeValues {
  LONG baseOffset = 0;
  int imageCount = 0;          // the block header's signed 16-bit count
  int imageNumber = 0;         // the asked number pulled into the block
  LONG resHeaderOffset = 0;    // the image offset table
  LONG imageHeaderOffset = 0;  // entry imageNumber of that table
  LONG imageOffset = 0;        // imageHeaderOffset + 30 + 4 x Y Size
  int xSize = 0;               // field 1 of the image header
  int ySize = 0;               // field 0 of the image header
};

// An image number not below the count becomes the last image (count - 1);
// then a negative one becomes 0. So a block of no images gives 0.
int ClampImageNumber(int imageNumber, int imageCount);

// The image offset the dialog shows: 30 + 4 x field 0 past the image header,
// two bytes short of where the pixel data begins. Wraps as 32-bit
// arithmetic does, since both come from the file.
LONG ShownImageOffset(LONG imageHeaderOffset, SHORT field0);

// Reads the block header of `headerNumber`, clamps `imageNumber` to its
// image count, then reads that image's entry of the image offset table and
// its image header. The image number is clamped before the table is read,
// so the entry read is always the one reported.
ImageProbeValues ReadImageProbeValues(CFile& file, int headerNumber, int imageNumber);

// The size Load reads, from the X and Y Size. A product below 1 gives a
// 1 x 1 image. Sizes that are both negative (a positive product that
// describes no image), a product larger than the file, or a side larger
// than a bitmap side can be (32767) do not fit: nothing is read then.
struct ImageProbeSize {
  bool fits = false;
  int width = 1;
  int height = 1;
};
ImageProbeSize ChooseImageProbeSize(int xSize, int ySize, ULONGLONG fileLength);

struct ProbedImage {
  std::vector<DWORD> pixels;  // width x height pixels 0x00RRGGBB, rows bottom-up
  LONG colourCount = 0;       // the block header's colour count
};

// Reads the gamma-corrected palette of `headerNumber`, seeks to the pixel
// data of image `imageNumber` (located afresh, never from shown offsets),
// reads width x height indices and expands them in column order. `width`
// and `height` must be at least 1; the bytes are checked to lie inside the
// file before any buffer is made for them.
ProbedImage ReadProbedImage(CFile& file, int headerNumber, int imageNumber, int width, int height);
