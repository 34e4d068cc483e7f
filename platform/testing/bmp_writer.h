#pragma once
// The one writer of bitmap files for tests and benchmarks. It writes every
// header form, depth and compression that readers take, field by field and
// independently of the platform's decoder and of the Save As writer
// (kp::gdi::BuildBitmapFile24), so a test's input never depends on the code
// it checks.
//
//   // Six by four pixels, darkest at the top left.
//   std::vector<BYTE> file = kp::testing::BitmapFile24(6, 4, [](int x, int y) { return 0x102030u * (x + y); });

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace kp::testing {

// One form of bitmap file.
struct BmpForm {
  const char* name;
  DWORD headerSize;  // 12 (OS/2 1.x), 16 or 64 (OS/2 2.x), 40, 52, 56, 108, 124
  WORD bitCount;
  DWORD compression;  // BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS, BI_ALPHABITFIELDS
  bool topDown = false;
  DWORD clrUsed = 0;
  DWORD masks[4] = {};  // red, green, blue, alpha for bit fields
};

// The form most programs write: a 40-byte header, 24 bits, bottom-up, no
// colour table.
inline constexpr BmpForm kBmp24 = {"info 24bpp", 40, 24, BI_RGB};

// A picture: the colour of pixel (x, y), y counted from the top, as
// 0x00RRGGBB.
using PictureColour = std::function<std::uint32_t(int x, int y)>;

struct BuiltBmp {
  std::vector<BYTE> file;
  int width = 0;
  int height = 0;
  // The picture the file holds: width x height 0x00RRGGBB, bottom row first.
  std::vector<std::uint32_t> expected;
};

// A bitmap file of `form`. A 24- or 32-bit form holds `colour`'s picture
// when one is given; every other file holds a pattern of the writer's own
// that uses every palette entry, and, in 16-bit forms, colours that any
// mask keeps exactly.
BuiltBmp BuildBmp(const BmpForm& form, int width, int height, const PictureColour& colour = {});

// The bytes of the usual 24-bit file (kBmp24) of `colour`'s picture.
std::vector<BYTE> BitmapFile24(int width, int height, const PictureColour& colour);

// A packed DIB (header, colour table, pixel bits) as a bitmap file: the
// 14-byte file header, whose pixel offset says the bits start `bitsOffset`
// bytes into the DIB, then the DIB.
std::vector<BYTE> BitmapFileOfPackedDib(std::span<const BYTE> dib, std::size_t bitsOffset);

// How the two headers of `file` differ from those of the usual 24-bit file
// (kBmp24) of a width x height picture, field by field, as one line a
// field: "name: value, not expected"; empty when they agree.
std::string BitmapFile24HeaderMismatches(std::span<const BYTE> file, int width, int height);

// Little-endian appenders for inputs made by hand.
void PutWord(std::vector<BYTE>& out, unsigned value);
void PutDword(std::vector<BYTE>& out, std::uint32_t value);

}  // namespace kp::testing
