#include "editor/ui/art/editor_art.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/testing/bmp_writer.h"

namespace {

BITMAPINFOHEADER HeaderOf(std::span<const BYTE> dib) {
  BITMAPINFOHEADER h{};
  std::memcpy(&h, dib.data(), sizeof h);
  return h;
}

constexpr std::size_t kColourTableBytes = 256 * 4;

TEST(AboutFrameDib, EveryFrameIsA256By128Rle8DibWithAFullColourTable) {
  for (const UINT id : kAboutFrameResourceIds) {
    const std::span<const BYTE> dib = AboutFrameDib(id);
    ASSERT_GT(dib.size(), 40 + kColourTableBytes) << id;
    const BITMAPINFOHEADER h = HeaderOf(dib);
    EXPECT_EQ(h.biSize, 40u) << id;
    EXPECT_EQ(h.biWidth, 256) << id;
    EXPECT_EQ(h.biHeight, 128) << id;
    EXPECT_EQ(h.biPlanes, 1) << id;
    EXPECT_EQ(h.biBitCount, 8) << id;
    EXPECT_EQ(h.biCompression, BI_RLE8) << id;
    EXPECT_EQ(h.biClrUsed, 0u) << id;
    EXPECT_EQ(h.biSizeImage, dib.size() - 40 - kColourTableBytes) << id;

    const std::optional<kp::gdi::DecodedImage> decoded = kp::gdi::DecodePackedDib(dib);
    ASSERT_TRUE(decoded) << id;
    EXPECT_EQ(decoded->width, 256);
    EXPECT_EQ(decoded->height, 128);
    EXPECT_EQ(decoded->bitsPerPixel, 8);
  }
}

// The About box loads a frame as the framework does: CreateDIBitmap with
// CBM_INIT, the bits taken right after the 256 colour entries.
TEST(AboutFrameDib, LoadsThroughCreateDibitmapToTheDecodedPicture) {
  kp::gdi::ScopedMemoryDC dc(nullptr);
  for (const UINT id : kAboutFrameResourceIds) {
    const std::span<const BYTE> dib = AboutFrameDib(id);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
    kp::gdi::ScopedBitmap bitmap(CreateDIBitmap(dc.get(), &info->bmiHeader, CBM_INIT,
                                                dib.data() + 40 + kColourTableBytes, info, DIB_RGB_COLORS));
    ASSERT_TRUE(bitmap) << id;
    BITMAP bm{};
    ASSERT_EQ(GetObject(bitmap.get(), sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 256);
    EXPECT_EQ(bm.bmHeight, 128);

    BITMAPINFO want{};
    want.bmiHeader = {40, 256, 128, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(256 * 128);
    ASSERT_EQ(GetDIBits(dc.get(), bitmap.get(), 0, 128, pixels.data(), &want, DIB_RGB_COLORS), 128) << id;
    const std::optional<kp::gdi::DecodedImage> decoded = kp::gdi::DecodePackedDib(dib);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(pixels, decoded->pixels) << id;
  }
}

TEST(AboutFrameDib, ConsecutiveFramesDifferAndShareOneColourTable) {
  std::vector<std::vector<std::uint32_t>> pictures;
  for (const UINT id : kAboutFrameResourceIds) pictures.push_back(kp::gdi::DecodePackedDib(AboutFrameDib(id))->pixels);
  for (std::size_t i = 1; i < pictures.size(); ++i) EXPECT_NE(pictures[i - 1], pictures[i]) << "frame " << i;
  const std::span<const BYTE> first = AboutFrameDib(kAboutFrameResourceIds[0]).subspan(40, kColourTableBytes);
  for (const UINT id : kAboutFrameResourceIds) {
    const std::span<const BYTE> table = AboutFrameDib(id).subspan(40, kColourTableBytes);
    EXPECT_TRUE(std::equal(table.begin(), table.end(), first.begin())) << id;
  }
}

TEST(AboutFrameDib, OtherResourceNumbersHaveNoPicture) {
  for (const UINT id : {0u, 1u, 128u, 236u, 244u, 0xFFFFFFFFu}) EXPECT_TRUE(AboutFrameDib(id).empty()) << id;
}

// The AND mask's bit for pixel (x, y), y counted from the top.
bool MaskBit(std::span<const BYTE> dib, int size, int x, int y) {
  const std::size_t colourBytes = static_cast<std::size_t>((size * 4 + 31) / 32 * 4) * size;
  const std::size_t maskStride = static_cast<std::size_t>((size + 31) / 32 * 4);
  const std::size_t row = 40 + 16 * 4 + colourBytes + maskStride * (size - 1 - y);
  return (dib[row + x / 8] >> (7 - x % 8)) & 1;
}

TEST(ProgramIconImage, BothSizesDecodeWithTransparencyFromTheMask) {
  for (const int size : {32, 16}) {
    const std::span<const BYTE> dib = ProgramIconImage(size);
    ASSERT_FALSE(dib.empty()) << size;
    const BITMAPINFOHEADER h = HeaderOf(dib);
    EXPECT_EQ(h.biWidth, size);
    EXPECT_EQ(h.biHeight, 2 * size) << "colour bitmap and mask together";
    EXPECT_EQ(h.biBitCount, 4);
    EXPECT_EQ(h.biCompression, BI_RGB);

    const std::optional<kp::gdi::IconImage> icon = kp::gdi::DecodeIconImage(dib);
    ASSERT_TRUE(icon) << size;
    ASSERT_EQ(icon->width, size);
    ASSERT_EQ(icon->height, size);
    int opaque = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const bool transparent = (icon->argb[y * size + x] >> 24) == 0;
        EXPECT_EQ(transparent, MaskBit(dib, size, x, y)) << size << ": " << x << "," << y;
        opaque += !transparent;
      }
    for (const auto& [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}}) {
      if (size == 16 && x == 0 && y == size - 1) continue;  // the small icon's tile reaches that corner
      EXPECT_EQ(icon->argb[y * size + x] >> 24, 0u) << size << ": corner " << x << "," << y;
    }
    EXPECT_GT(opaque, size * size / 3) << "the kestrel and its tile fill much of the icon";
  }
}

TEST(ProgramIconImage, OtherSizesHaveNoImage) {
  for (const int size : {0, 8, 24, 48, -32}) EXPECT_TRUE(ProgramIconImage(size).empty()) << size;
}

TEST(ProgramIconImage, MakesAnIconOfBothImages) {
  std::vector<kp::gdi::IconImage> images;
  for (const int size : {32, 16}) images.push_back(*kp::gdi::DecodeIconImage(ProgramIconImage(size)));
  const HICON icon = kp::gdi::CreateIconFromImages(images);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(kp::gdi::GetIconImages(icon).size(), 2u);
  EXPECT_TRUE(DestroyIcon(icon));
}

}  // namespace
