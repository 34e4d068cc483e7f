#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "editor/import/convert_bitmap.h"
#include "editor/import/dither_bitmap.h"
#include "editor/import/tests/import_test_support.h"
#include "editor/shapes/set_kinds.h"

namespace {
using import_tests::SourceBitmap;

// A sky: blue at the top, lighter and warmer toward the horizon, with a
// faint sideways drift, so that no two neighbouring rows are far apart.
DWORD Sky(int x, int y, int w, int h) {
  const double v = static_cast<double>(y) / (h - 1);
  const double u = static_cast<double>(x) / (w - 1);
  const auto channel = [](double value) {
    return static_cast<BYTE>(std::lround(std::clamp(value, 0.0, 255.0)));
  };
  return PaletteEntry(channel(60 + 150 * v + 10 * u), channel(110 + 110 * v), channel(200 + 45 * v - 8 * u));
}

// A few shades of sky blue, far enough apart that plain nearest colour
// breaks a smooth sky into bands, and a little grey.
SetPalette SkyPalette(int& count) {
  SetPalette palette{};
  int n = 0;
  for (int i = 0; i < 7; ++i) palette[static_cast<std::size_t>(n++)] = Sky(0, i * 40, 2, 241);
  for (BYTE grey : {0, 128, 255}) palette[static_cast<std::size_t>(n++)] = PaletteEntry(grey, grey, grey);
  count = n;
  return palette;
}

// Photo-like: gradients, grain and hard edges, so that the errors carried
// take every sign and size.
DWORD Photo(int x, int y, int w, int h) {
  std::uint32_t n = (static_cast<std::uint32_t>(x) * 73856093u) ^ (static_cast<std::uint32_t>(y) * 19349663u);
  n = (n ^ (n >> 13)) * 1274126177u;
  const int grain = static_cast<int>(n >> 27) - 16;
  const int edge = (x * 3 + y * 2) % 97 < 40 ? 60 : 0;
  const auto channel = [&](int v) { return static_cast<BYTE>(std::clamp(v + grain, 0, 255)); };
  return PaletteEntry(channel(x * 255 / w - edge / 2 + 20), channel(y * 255 / h + edge),
                      channel((x + y) * 128 / (w + h) + 60));
}

// The byte that holds pixel (x, y), y from the top, in either storage order.
std::size_t ByteOf(int x, int y, int w, int h, bool bottomUpRows) {
  return bottomUpRows
             ? static_cast<std::size_t>(h - 1 - y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)
             : static_cast<std::size_t>(x) * static_cast<std::size_t>(h) + static_cast<std::size_t>(y);
}

std::vector<BYTE> Dither(const SourceBitmap& source, int sw, int sh, int dw, int dh, bool bottomUpRows,
                         const SetPalette& palette, int count, SimdLevel level = BestSimdLevel()) {
  PaletteMatcher matcher(palette, count, level);
  std::vector<BYTE> out(static_cast<std::size_t>(dw) * static_cast<std::size_t>(dh));
  EXPECT_TRUE(DitherBitmapToPalette(out.data(), dw, dh, source.dc(), sw, sh, bottomUpRows ? TRUE : FALSE,
                                    palette, matcher));
  return out;
}

std::vector<BYTE> Nearest(const SourceBitmap& source, int sw, int sh, int dw, int dh, bool bottomUpRows,
                          const SetPalette& palette, int count) {
  std::vector<BYTE> out(static_cast<std::size_t>(dw) * static_cast<std::size_t>(dh));
  EXPECT_TRUE(ConvertBitmapToPalette(out.data(), dw, dh, source.dc(), sw, sh, bottomUpRows ? TRUE : FALSE,
                                     palette, count));
  return out;
}

// The mean colour distance between the picture and its reduction, each
// averaged over blocks of 4 x 4 pixels: what the eye sees from a step back.
double BlockError(const std::function<DWORD(int, int)>& picture, const std::vector<BYTE>& indices,
                  const SetPalette& palette, int w, int h, bool bottomUpRows) {
  double total = 0;
  int blocks = 0;
  for (int by = 0; by + 4 <= h; by += 4) {
    for (int bx = 0; bx + 4 <= w; bx += 4) {
      double wanted[3] = {0, 0, 0};
      double got[3] = {0, 0, 0};
      for (int y = by; y < by + 4; ++y) {
        for (int x = bx; x < bx + 4; ++x) {
          const DWORD source = picture(x, y);
          const DWORD shown = palette[indices[ByteOf(x, y, w, h, bottomUpRows)]];
          for (int c = 0; c < 3; ++c) {
            wanted[c] += (source >> (8 * c)) & 0xFF;
            got[c] += (shown >> (8 * c)) & 0xFF;
          }
        }
      }
      double squared = 0;
      for (int c = 0; c < 3; ++c) squared += (wanted[c] - got[c]) * (wanted[c] - got[c]) / 256.0;
      total += std::sqrt(squared);
      ++blocks;
    }
  }
  return total / blocks;
}

TEST(DitherBitmapToPalette, LowersTheMeanColourErrorOfASkyAgainstNearestColour) {
  int count = 0;
  const SetPalette palette = SkyPalette(count);
  const struct {
    int w, h;
    bool bottomUpRows;
  } rows[] = {{128, 128, false}, {512, 270, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.w << " x " << row.h);
    const auto sky = [&](int x, int y) { return Sky(x, y, row.w, row.h); };
    SourceBitmap source(row.w, row.h, sky);
    const double nearest =
        BlockError(sky, Nearest(source, row.w, row.h, row.w, row.h, row.bottomUpRows, palette, count),
                   palette, row.w, row.h, row.bottomUpRows);
    const double dithered =
        BlockError(sky, Dither(source, row.w, row.h, row.w, row.h, row.bottomUpRows, palette, count), palette,
                   row.w, row.h, row.bottomUpRows);
    RecordProperty("nearest_" + std::to_string(row.w), std::to_string(nearest));
    RecordProperty("dithered_" + std::to_string(row.w), std::to_string(dithered));
    // Nearest colour is off by up to half a step between the shades; the
    // dithered blocks mix neighbouring shades toward the sky's own colours.
    // (On this machine: 9.5 against 4.7 for the texture, 10.1 against 4.4
    // for the landscape.)
    EXPECT_GT(nearest, 8.0);
    EXPECT_LT(dithered, nearest * 0.6) << "nearest " << nearest << ", dithered " << dithered;
  }
}

TEST(DitherBitmapToPalette, IsTheSameOnEveryInstructionSet) {
  std::mt19937 random(3);
  SetPalette scattered{};
  for (auto& entry : scattered) entry = random() & 0x00FFFFFF;
  scattered[90] = scattered[91];  // a tie, which must go the same way everywhere
  int skyCount = 0;
  const SetPalette sky = SkyPalette(skyCount);
  const struct {
    const char* what;
    int sw, sh, dw, dh;
    bool bottomUpRows;
    const SetPalette* palette;
    int count;
    bool photo;
  } rows[] = {
      {"photo texture, 256 colours", 300, 200, 128, 128, false, &scattered, 256, true},
      {"photo landscape, 231 colours", 600, 200, 512, 270, true, &scattered, 231, true},
      {"sky texture, few colours", 64, 64, 128, 128, false, &sky, skyCount, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    SourceBitmap source(row.sw, row.sh, [&](int x, int y) {
      return row.photo ? Photo(x, y, row.sw, row.sh) : Sky(x, y, row.sw, row.sh);
    });
    const std::vector<BYTE> portable = Dither(source, row.sw, row.sh, row.dw, row.dh, row.bottomUpRows,
                                              *row.palette, row.count, SimdLevel::Portable);
    EXPECT_NE(portable,
              Nearest(source, row.sw, row.sh, row.dw, row.dh, row.bottomUpRows, *row.palette, row.count))
        << "the picture was dithered";
    for (SimdLevel level : SupportedSimdLevels()) {
      EXPECT_EQ(
          Dither(source, row.sw, row.sh, row.dw, row.dh, row.bottomUpRows, *row.palette, row.count, level),
          portable)
          << SimdLevelName(level);
    }
  }
}

// 256 entries of different colours; a picture of nothing but entry colours
// leaves no error to carry, so dithering must pick exactly what nearest
// colour picks, pixel for pixel, after exactly the same scaling.
TEST(DitherBitmapToPalette, ScalesAsTheConversionDoesAndKeepsColoursThePaletteHolds) {
  SetPalette tagged{};
  for (int i = 0; i < 256; ++i)
    tagged[static_cast<std::size_t>(i)] =
        PaletteEntry(static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7));
  const struct {
    int sw, sh, dw, dh;
    bool bottomUpRows;
  } rows[] = {
      {2, 2, 128, 128, false},    {256, 256, 128, 128, false}, {300, 200, 128, 128, false},
      {37, 500, 128, 128, false}, {600, 200, 512, 270, true},  {512, 270, 512, 270, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.sw << " x " << row.sh << " -> " << row.dw << " x " << row.dh);
    SourceBitmap source(row.sw, row.sh,
                        [&](int x, int y) { return tagged[static_cast<std::size_t>((x + 3 * y) % 256)]; });
    EXPECT_EQ(Dither(source, row.sw, row.sh, row.dw, row.dh, row.bottomUpRows, tagged, 256),
              Nearest(source, row.sw, row.sh, row.dw, row.dh, row.bottomUpRows, tagged, 256));
  }
}

TEST(DitherBitmapToPalette, DithersInPictureSpaceWhateverTheStorageOrder) {
  int count = 0;
  const SetPalette palette = SkyPalette(count);
  SourceBitmap source(200, 90, [](int x, int y) { return Photo(x, y, 200, 90); });
  const std::vector<BYTE> columns = Dither(source, 200, 90, 128, 128, false, palette, count);
  const std::vector<BYTE> rows = Dither(source, 200, 90, 128, 128, true, palette, count);
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x)
      ASSERT_EQ(columns[ByteOf(x, y, 128, 128, false)], rows[ByteOf(x, y, 128, 128, true)]) << x << "," << y;
}

// Rows are walked alternately left to right and right to left. The first
// row below is all palette colours and carries no error down, so the second
// row is dithered right to left as a row of its own: exactly the mirror
// image of its mirror image dithered as a first row, left to right.
TEST(DitherBitmapToPalette, WalksEveryOtherRowRightToLeft) {
  SetPalette palette{};
  palette[0] = PaletteEntry(0, 0, 0);
  palette[1] = PaletteEntry(255, 255, 255);
  constexpr int kWidth = 16;
  // Not a straight line: a straight ramp dithered from its dark end is the
  // mirror image of its light end's, and would not tell the directions apart.
  const auto ramp = [](int x) {
    const auto v = static_cast<BYTE>(x * x * 255 / ((kWidth - 1) * (kWidth - 1)));
    return PaletteEntry(v, v, v);
  };
  // Bottom-up rows: the picture's second row is the first in memory.
  std::vector<DWORD> picture(2 * kWidth);
  for (int x = 0; x < kWidth; ++x) {
    picture[static_cast<std::size_t>(x)] = ramp(x);
    picture[static_cast<std::size_t>(kWidth + x)] = palette[1];
  }
  std::vector<DWORD> mirrored(kWidth);
  for (int x = 0; x < kWidth; ++x) mirrored[static_cast<std::size_t>(x)] = ramp(kWidth - 1 - x);

  PaletteMatcher matcher(palette, 2);
  std::vector<BYTE> both(2 * kWidth);
  DitherPicture(picture.data(), kWidth, 2, false, palette, matcher, both.data());
  std::vector<BYTE> alone(kWidth);
  DitherPicture(mirrored.data(), kWidth, 1, false, palette, matcher, alone.data());

  std::vector<BYTE> secondRow;
  std::vector<BYTE> aloneMirrored;
  for (int x = 0; x < kWidth; ++x) {
    EXPECT_EQ(both[ByteOf(x, 0, kWidth, 2, true)], 1) << "the first row is white";
    secondRow.push_back(both[ByteOf(x, 1, kWidth, 2, true)]);
    aloneMirrored.push_back(alone[static_cast<std::size_t>(kWidth - 1 - x)]);
  }
  EXPECT_EQ(secondRow, aloneMirrored);
  // Left to right the ramp would start from its dark end and differ.
  std::vector<BYTE> forward(kWidth);
  std::vector<DWORD> ramped(kWidth);
  for (int x = 0; x < kWidth; ++x) ramped[static_cast<std::size_t>(x)] = ramp(x);
  DitherPicture(ramped.data(), kWidth, 1, false, palette, matcher, forward.data());
  EXPECT_NE(forward, secondRow) << "the ramp tells the two directions apart";
}

TEST(DitherBitmapToPalette, FailsWithoutWritingWhenTheScalingCannotBeDone) {
  int count = 0;
  const SetPalette palette = SkyPalette(count);
  SourceBitmap source(8, 8, [](int x, int y) { return Sky(x, y, 8, 8); });
  PaletteMatcher matcher(palette, count);
  const int before = kp::gdi::LiveObjectCount();
  std::vector<BYTE> out(64, 0xAA);
  EXPECT_FALSE(DitherBitmapToPalette(out.data(), 20000, 20000, source.dc(), 8, 8, FALSE, palette, matcher));
  EXPECT_EQ(out, std::vector<BYTE>(64, 0xAA));
  EXPECT_EQ(kp::gdi::LiveObjectCount(), before);
}

}  // namespace
