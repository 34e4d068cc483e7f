#pragma once
// Picture files of the formats the platform decodes besides BMP, written by
// each format's own library (libpng, libjpeg-turbo, giflib, libwebp,
// libtiff), so that the decoders are checked against the reference encoders
// rather than against bytes of our own making. For tests and benchmarks.
// A writer that fails throws std::runtime_error.
//
//   // A 4 x 4 interlaced PNG of grey steps.
//   const Picture steps = MakePicture(4, 4, [](int x, int) { return 0xFF000000u | 0x555555u * x; });
//   std::vector<BYTE> png = PngFile(steps, {PngColour::kGrey, 8, true});

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/base/win_types.h"

namespace kp::testing {

// A picture to write: width x height pixels 0xAARRGGBB (straight alpha),
// top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
};

// The picture whose pixel (x, y), y from the top, is argb(x, y).
Picture MakePicture(int width, int height, const std::function<std::uint32_t(int x, int y)>& argb);

// Grey forms take each pixel's red channel; forms without alpha drop it.
// Samples narrower than 8 bits are the channel scaled to the depth and
// rounded, so channels that are multiples of 255 / (2^depth - 1) come back
// exactly. A 16-bit sample is the channel times 257 less 100 (0 stays 0):
// rounding it back to 8 bits gives the channel, cutting it does not.
enum class PngColour { kGrey, kGreyAlpha, kRgb, kRgbAlpha, kPalette };
struct PngForm {
  PngColour colour = PngColour::kRgb;
  int bitDepth = 8;
  bool interlaced = false;
};
// A palette form holds the picture's distinct colours (at most 2^depth), in
// the order they first appear, with their alpha in a tRNS chunk.
std::vector<BYTE> PngFile(const Picture& picture, const PngForm& form);

// A CMYK file stores the inks inverted, as Adobe's programs write them, and
// with no black: each channel c as the ink byte c (255 - the ink).
struct JpegForm {
  int quality = 95;
  bool progressive = false;
  bool grey = false;
  bool cmyk = false;
};
std::vector<BYTE> JpegFile(const Picture& picture, const JpegForm& form);

// The picture's distinct colours (at most 256) make the global colour table;
// pixels of alpha 0 take one transparent entry of their own, which a
// graphic control extension names.
struct GifForm {
  bool interlaced = false;
};
std::vector<BYTE> GifFile(const Picture& picture, const GifForm& form);

// An animation holds the picture as its first frame and the picture
// inverted as its second.
struct WebpForm {
  bool lossless = true;
  bool alpha = true;
  bool animated = false;
};
std::vector<BYTE> WebpFile(const Picture& picture, const WebpForm& form);

// kRgbAlpha stores unassociated alpha; kGreyAlpha too. kPalette holds the
// picture's distinct colours (at most 256) at 8 bits; kBilevel is one bit
// per pixel, black for a red channel below 128.
enum class TiffColour { kRgb, kRgbAlpha, kGrey, kGreyAlpha, kPalette, kBilevel };
enum class TiffCompression { kNone, kLzw, kDeflate, kPackBits, kJpeg };
struct TiffForm {
  TiffColour colour = TiffColour::kRgb;
  TiffCompression compression = TiffCompression::kNone;
  bool tiled = false;     // 16 x 16 tiles, else strips of 3 rows
  int bitsPerSample = 8;  // 8 or 16 (16-bit samples as for PNG)
};
std::vector<BYTE> TiffFile(const Picture& picture, const TiffForm& form);

}  // namespace kp::testing
