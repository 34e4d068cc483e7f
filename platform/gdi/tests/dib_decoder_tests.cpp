#include <vector>

#include "platform/gdi/tests/bmp_forms.h"
#include "platform/gdi/tests/gdi_test_support.h"

namespace kp::gdi::testing {
namespace {

using kp::testing::BmpForm;
using kp::testing::BuildBmp;
using kp::testing::BuiltBmp;
using kp::testing::PutDword;
using kp::testing::PutWord;

TEST(DibDecoder, DecodesEveryBitmapFileForm) {
  for (const BmpForm& form : kBmpForms) {
    SCOPED_TRACE(form.name);
    const BuiltBmp bmp = BuildBmp(form, 5, 3);
    const std::optional<DecodedImage> image = DecodeBmpFile(bmp.file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 5);
    EXPECT_EQ(image->height, 3);
    EXPECT_EQ(image->bitsPerPixel, form.bitCount);
    EXPECT_EQ(image->pixels, bmp.expected);
    // The same DIB without its file header, as a resource holds it.
    const std::span<const BYTE> packed = std::span(bmp.file).subspan(14);
    const std::optional<DecodedImage> fromPacked = DecodePackedDib(packed);
    ASSERT_TRUE(fromPacked);
    EXPECT_EQ(fromPacked->pixels, bmp.expected);
  }
}

// A 4 x 3 packed DIB at 8 bits (RLE8) or 4 bits (RLE4) with a 4-entry
// colour table: entry i is 0x00i0i0i0 scaled, entry 0 black.
std::vector<BYTE> RleDib(DWORD compression, const std::vector<BYTE>& stream) {
  std::vector<BYTE> dib;
  PutDword(dib, 40);                                         // biSize
  PutDword(dib, 4);                                          // biWidth
  PutDword(dib, 3);                                          // biHeight, bottom-up
  PutWord(dib, 1);                                           // biPlanes
  PutWord(dib, compression == BI_RLE8 ? 8 : 4);              // biBitCount
  PutDword(dib, compression);                                // biCompression
  PutDword(dib, static_cast<std::uint32_t>(stream.size()));  // biSizeImage
  PutDword(dib, 0);                                          // biXPelsPerMeter
  PutDword(dib, 0);                                          // biYPelsPerMeter
  PutDword(dib, 4);                                          // biClrUsed
  PutDword(dib, 0);                                          // biClrImportant
  for (std::uint32_t i = 0; i < 4; ++i) PutDword(dib, i * 0x101010);
  dib.insert(dib.end(), stream.begin(), stream.end());
  return dib;
}

constexpr std::uint32_t E(int i) { return static_cast<std::uint32_t>(i) * 0x101010; }

TEST(DibDecoder, Rle8HonoursEveryEscape) {
  // clang-format off
  const std::vector<BYTE> stream = {
      2, 1,           // bottom row: two pixels of entry 1
      0, 0,           // end of line
      0, 3, 2, 3, 1, 0,  // absolute run of three, padded to a word
      0, 2, 0, 1,     // delta: up one row (x stays 3)
      1, 2,           // top row, x 3: entry 2
      0, 1,           // end of bitmap
  };
  // clang-format on
  const std::optional<DecodedImage> image = DecodePackedDib(RleDib(BI_RLE8, stream));
  ASSERT_TRUE(image);
  // clang-format off
  const std::vector<std::uint32_t> expected = {
      E(1), E(1), E(0), E(0),  // bottom row; skipped pixels take entry 0
      E(2), E(3), E(1), E(0),
      E(0), E(0), E(0), E(2),  // top row
  };
  // clang-format on
  EXPECT_EQ(image->pixels, expected);
}

TEST(DibDecoder, Rle4AlternatesNibblesInRunsAndAbsoluteMode) {
  // clang-format off
  const std::vector<BYTE> stream = {
      3, 0x12,         // bottom row: 1 2 1
      0, 0,            // end of line
      0, 3, 0x31, 0x20, // absolute 3 1 2 (two bytes, already a word)
      0, 0,
      4, 0x33,         // top row: all 3
      0, 1,
  };
  // clang-format on
  const std::optional<DecodedImage> image = DecodePackedDib(RleDib(BI_RLE4, stream));
  ASSERT_TRUE(image);
  const std::vector<std::uint32_t> expected = {E(1), E(2), E(1), E(0), E(3), E(1), E(2), E(0), E(3), E(3), E(3), E(3)};
  EXPECT_EQ(image->pixels, expected);
}

TEST(DibDecoder, RleRunsBeyondTheImageAreClipped) {
  // clang-format off
  const std::vector<BYTE> stream = {
      255, 1,            // a run far past the row's end
      0, 2, 200, 200,    // a delta far outside
      0, 5, 1, 1, 1, 1, 1, 0,  // absolute run outside
      0, 1,
  };
  // clang-format on
  const std::optional<DecodedImage> image = DecodePackedDib(RleDib(BI_RLE8, stream));
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixels[3], E(1));
  EXPECT_EQ(image->pixels[4], E(0));
}

TEST(DibDecoder, TruncatedInputIsRefusedAtEveryLength) {
  for (const BmpForm& form : {BmpForm{"rle8", 40, 8, BI_RLE8}, BmpForm{"rle4", 40, 4, BI_RLE4},
                              BmpForm{"24 bits", 40, 24, BI_RGB}, BmpForm{"core 4 bits", 12, 4, BI_RGB}}) {
    SCOPED_TRACE(form.name);
    const BuiltBmp bmp = BuildBmp(form, 5, 3);
    const std::size_t lastRowPadding = form.bitCount == 24 ? 1 : form.compression == BI_RGB ? 1 : 0;
    for (std::size_t n = 0; n + lastRowPadding < bmp.file.size(); ++n)
      ASSERT_FALSE(DecodeBmpFile(std::span(bmp.file).first(n))) << n << " of " << bmp.file.size();
  }
}

TEST(DibDecoder, MalformedHeadersAreRefused) {
  struct Row {
    const char* what;
    std::uint32_t offset;  // into the DIB
    std::uint32_t value;
    int bytes;
  };
  // clang-format off
  const Row rows[] = {
      {"header size 0", 0, 0, 4},        {"header size 13", 0, 13, 4},      {"header size 200", 0, 200, 4},
      {"zero width", 4, 0, 4},           {"negative width", 4, 0xFFFFFFFF, 4}, {"zero height", 8, 0, 4},
      {"3 bits", 14, 3, 2},              {"64 bits", 14, 64, 2},            {"RLE4 at 8 bits", 16, BI_RLE4, 4},
      {"JPEG inside", 16, BI_JPEG, 4},   {"PNG inside", 16, BI_PNG, 4},     {"huge width", 4, 0x7FFFFFFF, 4},
      {"minimum height", 8, 0x80000000, 4},
  };
  // clang-format on
  const BuiltBmp bmp = BuildBmp(BmpForm{"8 bits", 40, 8, BI_RGB}, 5, 3);
  for (const Row& r : rows) {
    std::vector<BYTE> dib(bmp.file.begin() + 14, bmp.file.end());
    for (int i = 0; i < r.bytes; ++i) dib[r.offset + i] = static_cast<BYTE>(r.value >> (8 * i));
    EXPECT_FALSE(DecodePackedDib(dib)) << r.what;
  }
  std::vector<BYTE> topDownRle = RleDib(BI_RLE8, {0, 1});
  topDownRle[8] = 0xFD, topDownRle[9] = topDownRle[10] = topDownRle[11] = 0xFF;  // biHeight -3
  EXPECT_FALSE(DecodePackedDib(topDownRle)) << "RLE cannot be top-down";
  EXPECT_FALSE(DecodeBmpFile(std::vector<BYTE>{'B', 'M'}));
}

}  // namespace
}  // namespace kp::gdi::testing
